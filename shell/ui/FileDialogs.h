#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// The file dialogs of the desktop, each window-modal on `parent` (the sheet
// of the window) and answering through a callback when it closes.
class FileDialogs final
{
public:
    // A folder, or an empty text when cancelled.
    static void chooseFolder(QWidget* parent, const QString& title,
                             std::function<void(const QString&)> done);
    // A save location in startFolder proposing proposedName; only files
    // with `extension` are allowed. Absent when cancelled.
    static void saveLocation(QWidget* parent, const QString& startFolder,
                             const QString& proposedName, const QString& extension,
                             std::function<void(std::optional<QString>)> done);
    // Several existing files of the given extensions; empty when cancelled.
    static void openFiles(QWidget* parent, const QStringList& extensions,
                          std::function<void(const QStringList&)> done);

    // The name filter for extensions ("Movies and subtitles (*.mkv *.MKV ...)").
    static QString nameFilter(const QString& label, const QStringList& extensions);
    // `path` ending in ".extension" (case-insensitive); otherwise with it added.
    static QString withExtension(const QString& path, const QString& extension);
};

#include "shell/ui/FileDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace {

QFileDialog* makeDialog(QWidget* parent, const QString& title)
{
    auto* dialog = new QFileDialog(parent, title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    return dialog;
}

} // namespace

void FileDialogs::chooseFolder(QWidget* parent, const QString& title,
                               std::function<void(const QString&)> done)
{
    QFileDialog* dialog = makeDialog(parent, title);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setLabelText(QFileDialog::Accept, QCoreApplication::translate("FileDialogs", "Choose"));
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done](int result) {
        const QStringList chosen = dialog->selectedFiles();
        done(result == QDialog::Accepted && !chosen.isEmpty() ? chosen.first() : QString());
    });
    dialog->open();
}

void FileDialogs::saveLocation(QWidget* parent, const QString& startFolder,
                               const QString& proposedName, const QString& extension,
                               std::function<void(std::optional<QString>)> done)
{
    QFileDialog* dialog =
        makeDialog(parent, QCoreApplication::translate("FileDialogs", "Save Converted Movie"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDirectory(startFolder);
    dialog->setNameFilter(
        nameFilter(QCoreApplication::translate("FileDialogs", "%1 movie").arg(extension.toUpper()),
                   {extension}));
    dialog->setDefaultSuffix(extension);
    dialog->selectFile(proposedName);
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done, extension](int result) {
        const QStringList chosen = dialog->selectedFiles();
        if (result != QDialog::Accepted || chosen.isEmpty()) {
            done(std::nullopt);
            return;
        }
        done(withExtension(chosen.first(), extension));
    });
    dialog->open();
}

void FileDialogs::openFiles(QWidget* parent, const QStringList& extensions,
                            std::function<void(const QStringList&)> done)
{
    QFileDialog* dialog =
        makeDialog(parent, QCoreApplication::translate("FileDialogs", "Add Movies"));
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // Any file may be chosen too: a movie with another name is judged by
    // what it holds.
    dialog->setNameFilters(
        {nameFilter(QCoreApplication::translate("FileDialogs", "Movies and subtitles"), extensions),
         QCoreApplication::translate("FileDialogs", "All files") + QStringLiteral(" (*)")});
    dialog->setLabelText(QFileDialog::Accept, QCoreApplication::translate("FileDialogs", "Add"));
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done](int result) {
        done(result == QDialog::Accepted ? dialog->selectedFiles() : QStringList());
    });
    dialog->open();
}

QString FileDialogs::nameFilter(const QString& label, const QStringList& extensions)
{
    QStringList patterns;
    for (const QString& extension : extensions) {
        patterns << QStringLiteral("*.") + extension.toLower();
        patterns << QStringLiteral("*.") + extension.toUpper();
    }
    return label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QStringLiteral(")");
}

QString FileDialogs::withExtension(const QString& path, const QString& extension)
{
    if (path.isEmpty() || QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) == 0)
        return path;
    return path + QLatin1Char('.') + extension;
}

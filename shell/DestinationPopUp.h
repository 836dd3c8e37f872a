#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The destination pop-ups of the add panel and the preferences window as
// plain data, and the upkeep of the saved destinations at launch.
//
// Layout with n saved destinations: 0 the ask item, 1 a separator (only when
// n >= 1), 2 .. n+1 the names, then a separator and the choose item.

struct DestinationPopUpItem
{
    enum class Kind { Ask, Separator, Destination, Choose };
    Kind kind = Kind::Ask;
    QString title;
    int tag = 0;
    // A saved destination's folder, shown as its tool tip.
    QString folder{};

    bool operator==(const DestinationPopUpItem&) const = default;
};

// In English; the pop-up shows them translated.
inline const QString kAskItemTitle =
    QStringLiteral(QT_TRANSLATE_NOOP("DestinationComboBox", "Ask for Every Movie"));
inline const QString kChooseItemTitle =
    QStringLiteral(QT_TRANSLATE_NOOP("DestinationComboBox", "Choose…"));

// The items of a pop-up for these saved destination names (and their
// folders, parallel to the names); the choose item carries `chooseTag` (1 in
// the add panel, 0 in the preferences window).
QList<DestinationPopUpItem> destinationPopUpLayout(const QStringList& names, int chooseTag,
                                                   const QStringList& folders = {});

// The saved destination behind a pop-up index (2 + i gives i); absent for
// the ask item, the separators, the choose item and anything out of range.
std::optional<int> savedDestinationAt(int index, qsizetype savedCount);

// The index a freshly built pop-up selects for the DefaultDestination
// setting: the setting itself when it names an item, else the ask item.
int popUpIndexForDefault(qint64 defaultDestination, qsizetype itemCount);

// DefaultDestination corrected for `savedCount` usable destinations: read as
// unsigned (a negative value is too large), at most savedCount + 1, and the
// separator index 1 becomes the ask item 0.
qint64 correctedDefaultDestination(qint64 defaultDestination, qsizetype savedCount);

struct SavedDestinations
{
    QList<QByteArray> bookmarks;
    QStringList names;
};

// Drops every destination whose bookmark `usable` refuses, keeping the two
// lists parallel (a names list of another length is cut or padded to match).
SavedDestinations keepUsableDestinations(const QList<QByteArray>& bookmarks,
                                         const QStringList& names,
                                         const std::function<bool(const QByteArray&)>& usable);

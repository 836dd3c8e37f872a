#include "shell/Destinations.h"

#include "foundation/Alerts.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/FolderBookmarks.h"

#include <QFileInfo>
#include <QVariantList>

namespace {

QStringList savedDestinationNames()
{
    return defaultStringList(kDestinationNamesKey);
}

// The folders of the saved destinations, shown as the items' tool tips.
QStringList savedDestinationFolders()
{
    QStringList folders;
    for (const QByteArray& bookmark : defaultDataList(kDestinationBookmarksKey))
        folders.append(QString::fromUtf8(bookmark));
    return folders;
}

template <typename List> QVariantList toVariantList(const List& list)
{
    QVariantList out;
    for (const auto& item : list)
        out.append(item);
    return out;
}

// Sets a pop-up's items and selection; true when that changed anything.
bool assignPopUp(QList<DestinationPopUpItem>& items, int& index,
                 const QList<DestinationPopUpItem>& newItems, int newIndex)
{
    if (newItems == items && newIndex == index)
        return false;
    items = newItems;
    index = newIndex;
    return true;
}

} // namespace

Destinations::Destinations(QObject* parent) : QObject(parent) {}

void Destinations::setDestinationPopUp(const QList<PopUpItem>& items, int index)
{
    if (assignPopUp(m_items, m_index, items, index))
        emit destinationPopUpChanged();
}

void Destinations::setPreferencesDestinationPopUp(const QList<PopUpItem>& items, int index)
{
    if (assignPopUp(m_preferencesItems, m_preferencesIndex, items, index))
        emit preferencesDestinationPopUpChanged();
}

void Destinations::setDestinationPopUpIndex(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    setDestinationPopUp(m_items, index);
}

void Destinations::setPreferencesDestinationPopUpIndex(int index)
{
    if (index < 0 || index >= m_preferencesItems.size())
        return;
    setPreferencesDestinationPopUp(m_preferencesItems, index);
    // Only the ask item and saved destinations are defaults; the trailing
    // items run a command instead.
    if (index == 0 || savedDestinationAt(index, savedDestinationNames().size())) {
        setDefaultInt(kDefaultDestinationKey, index);
        synchronize();
    }
}

void Destinations::rebuildDestinationPopUp()
{
    const auto items =
        destinationPopUpLayout(savedDestinationNames(), 1, savedDestinationFolders());
    setDestinationPopUp(items,
                        popUpIndexForDefault(defaultInt(kDefaultDestinationKey), items.size()));
}

void Destinations::rebuildPreferencesDestinationPopUp()
{
    const auto items =
        destinationPopUpLayout(savedDestinationNames(), 0, savedDestinationFolders());
    setPreferencesDestinationPopUp(
        items, popUpIndexForDefault(defaultInt(kDefaultDestinationKey), items.size()));
}

void Destinations::upkeepAtLaunch()
{
    const QList<QByteArray> bookmarks = defaultDataList(kDestinationBookmarksKey);
    const QStringList names = savedDestinationNames();
    const SavedDestinations kept = keepUsableDestinations(bookmarks, names, isUsableBookmark);
    if (kept.bookmarks != bookmarks || kept.names != names) {
        setDefaultArray(kDestinationBookmarksKey, toVariantList(kept.bookmarks));
        setDefaultArray(kDestinationNamesKey, toVariantList(kept.names));
    }
    const qint64 current = defaultInt(kDefaultDestinationKey);
    const qint64 corrected = correctedDefaultDestination(current, kept.bookmarks.size());
    if (corrected != current)
        setDefaultInt(kDefaultDestinationKey, corrected);
    rebuildPreferencesDestinationPopUp();
}

void Destinations::chooseNewDestination(int tag, const QString& chosenFolder)
{
    if (chosenFolder.isEmpty())
        return;
    QString error;
    const auto bookmark = bookmarkForFolder(chosenFolder, &error);
    if (!bookmark) {
        asl_NSLog(3, "Error creating bookmark: %@", error);
        return;
    }
    QList<QByteArray> bookmarks = defaultDataList(kDestinationBookmarksKey);
    QStringList names = savedDestinationNames();
    // Keep the lists parallel even if the stored ones were not.
    while (names.size() < bookmarks.size())
        names.append(QFileInfo(QString::fromUtf8(bookmarks.at(names.size()))).fileName());
    names = names.mid(0, bookmarks.size());
    bookmarks.append(*bookmark);
    const QString name = QFileInfo(QString::fromUtf8(*bookmark)).fileName();
    names.append(name.isEmpty() ? QString::fromUtf8(*bookmark) : name);
    setDefaultArray(kDestinationBookmarksKey, toVariantList(bookmarks));
    setDefaultArray(kDestinationNamesKey, toVariantList(names));
    synchronize();
    rebuildPreferencesDestinationPopUp();
    if (tag == 0) {
        const int index = int(m_preferencesItems.size()) - 3;
        setPreferencesDestinationPopUp(m_preferencesItems, index);
        setDefaultInt(kDefaultDestinationKey, index);
        synchronize();
    } else if (tag == 1) {
        rebuildDestinationPopUp();
        setDestinationPopUp(m_items, int(m_items.size()) - 3);
    }
}

std::optional<QString> Destinations::selectedFolder() const
{
    const QList<QByteArray> bookmarks = defaultDataList(kDestinationBookmarksKey);
    const auto saved = savedDestinationAt(m_index, bookmarks.size());
    if (!saved)
        return std::nullopt;
    return resolveBookmark(bookmarks.at(*saved)).value_or(QString());
}

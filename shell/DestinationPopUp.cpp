#include "shell/DestinationPopUp.h"

#include <QFileInfo>

QList<DestinationPopUpItem> destinationPopUpLayout(const QStringList& names, int chooseTag,
                                                   const QStringList& folders)
{
    using Kind = DestinationPopUpItem::Kind;
    QList<DestinationPopUpItem> items;
    items.append({Kind::Ask, kAskItemTitle, 0});
    if (!names.isEmpty()) {
        items.append({Kind::Separator, QString(), 0});
        for (qsizetype i = 0; i < names.size(); ++i)
            items.append({Kind::Destination, names.at(i), 0, folders.value(i)});
    }
    items.append({Kind::Separator, QString(), 0});
    items.append({Kind::Choose, kChooseItemTitle, chooseTag});
    return items;
}

std::optional<int> savedDestinationAt(int index, qsizetype savedCount)
{
    if (index < 2 || qsizetype(index) - 2 >= savedCount)
        return std::nullopt;
    return index - 2;
}

int popUpIndexForDefault(qint64 defaultDestination, qsizetype itemCount)
{
    if (defaultDestination < 0 || defaultDestination >= itemCount)
        return 0;
    return int(defaultDestination);
}

qint64 correctedDefaultDestination(qint64 defaultDestination, qsizetype savedCount)
{
    const quint64 limit = quint64(savedCount) + 1;
    quint64 value = quint64(defaultDestination);
    if (value > limit)
        value = limit;
    if (value == 1)
        value = 0;
    return qint64(value);
}

SavedDestinations keepUsableDestinations(const QList<QByteArray>& bookmarks,
                                         const QStringList& names,
                                         const std::function<bool(const QByteArray&)>& usable)
{
    SavedDestinations kept;
    for (qsizetype i = 0; i < bookmarks.size(); ++i) {
        if (!usable(bookmarks.at(i)))
            continue;
        kept.bookmarks.append(bookmarks.at(i));
        // A missing name is made up from the folder, so the pop-up never shows
        // an empty item.
        kept.names.append(i < names.size()
                              ? names.at(i)
                              : QFileInfo(QString::fromUtf8(bookmarks.at(i))).fileName());
    }
    return kept;
}

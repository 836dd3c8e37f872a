#include "shell/ui/DestinationComboBox.h"

#include <QSignalBlocker>

DestinationComboBox::DestinationComboBox(QWidget* parent) : QComboBox(parent)
{
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    setMinimumContentsLength(16);
    // The closed pop-up tells the folder of the chosen destination too.
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int index) { setToolTip(itemData(index, Qt::ToolTipRole).toString()); });
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= m_items.size())
            return;
        switch (m_items.at(index).kind) {
        case DestinationPopUpItem::Kind::Choose:
            emit chooseRequested();
            break;
        case DestinationPopUpItem::Kind::Separator:
            break;
        default:
            emit destinationPicked(index);
        }
    });
}

void DestinationComboBox::setItems(const QList<DestinationPopUpItem>& items, int index)
{
    const QSignalBlocker blocker(this);
    m_items = items;
    clear();
    for (const DestinationPopUpItem& item : items) {
        if (item.kind == DestinationPopUpItem::Kind::Separator)
            insertSeparator(count());
        else
            addItem(shownTitle(item), item.tag);
        if (!item.folder.isEmpty())
            setItemData(count() - 1, item.folder, Qt::ToolTipRole);
    }
    setCurrentIndex(index >= 0 && index < count() ? index : 0);
    setToolTip(itemData(currentIndex(), Qt::ToolTipRole).toString());
}

QString DestinationComboBox::shownTitle(const DestinationPopUpItem& item)
{
    using Kind = DestinationPopUpItem::Kind;
    if (item.kind == Kind::Ask || item.kind == Kind::Choose)
        return tr(item.title.toUtf8().constData());
    return item.title;
}

bool DestinationComboBox::isSeparator(int index) const
{
    return index >= 0 && index < m_items.size() &&
           m_items.at(index).kind == DestinationPopUpItem::Kind::Separator;
}

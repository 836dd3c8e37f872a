#include "shell/ui/DestinationComboBox.h"

#include <QSignalBlocker>

DestinationComboBox::DestinationComboBox(QWidget* parent) : QComboBox(parent)
{
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    setMinimumContentsLength(16);
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
            addItem(item.title, item.tag);
    }
    setCurrentIndex(index >= 0 && index < count() ? index : 0);
}

bool DestinationComboBox::isSeparator(int index) const
{
    return index >= 0 && index < m_items.size() &&
           m_items.at(index).kind == DestinationPopUpItem::Kind::Separator;
}

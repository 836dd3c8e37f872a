#pragma once

#include "shell/DestinationPopUp.h"

#include <QComboBox>

// A destination pop-up: the ask item, the saved destinations and the choose
// item, with real separators where the item list has them, so the combo's
// indices are the pop-up indices of the shell.
class DestinationComboBox final : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DestinationComboBox)

public:
    explicit DestinationComboBox(QWidget* parent = nullptr);

    // Rebuilds the items and selects `index`, without emitting anything.
    void setItems(const QList<DestinationPopUpItem>& items, int index);
    bool isSeparator(int index) const;

signals:
    // The user picked the ask item or a saved destination.
    void destinationPicked(int index);
    // The user picked the choose item: a folder dialog is wanted.
    void chooseRequested();

private:
    // The ask and choose items come in English and are shown translated;
    // a saved destination shows its name.
    static QString shownTitle(const DestinationPopUpItem& item);

    QList<DestinationPopUpItem> m_items;
};

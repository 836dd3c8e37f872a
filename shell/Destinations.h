#pragma once

#include "shell/DestinationPopUp.h"

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

// The saved destination folders as the two pop-ups show them (the add
// panel's and the preferences window's), their upkeep and the choice of a
// new one. The folders and the default live in the settings.
class Destinations final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Destinations)

public:
    using PopUpItem = DestinationPopUpItem;

    explicit Destinations(QObject* parent = nullptr);

    QList<PopUpItem> destinationPopUpItems() const { return m_items; }
    int destinationPopUpIndex() const { return m_index; }
    void setDestinationPopUpIndex(int index);
    QList<PopUpItem> preferencesDestinationPopUpItems() const { return m_preferencesItems; }
    int preferencesDestinationPopUpIndex() const { return m_preferencesIndex; }
    // Also stores the choice as DefaultDestination.
    void setPreferencesDestinationPopUpIndex(int index);
    void rebuildDestinationPopUp();
    void rebuildPreferencesDestinationPopUp();
    // Drops saved destinations that cannot be used any more and corrects
    // DefaultDestination.
    void upkeepAtLaunch();
    // Saves the chosen folder (nothing when empty) and selects it. tag 1:
    // the add panel, 0: preferences.
    void chooseNewDestination(int tag, const QString& chosenFolder);
    // The folder of the saved destination the add panel selects; empty when
    // that folder is gone. Absent when the panel
    // selects no saved destination (the ask item, a separator, the choose
    // item).
    std::optional<QString> selectedFolder() const;

signals:
    void destinationPopUpChanged();
    void preferencesDestinationPopUpChanged();

private:
    void setDestinationPopUp(const QList<PopUpItem>& items, int index);
    void setPreferencesDestinationPopUp(const QList<PopUpItem>& items, int index);

    QList<PopUpItem> m_items;
    int m_index = 0;
    QList<PopUpItem> m_preferencesItems;
    int m_preferencesIndex = 0;
};

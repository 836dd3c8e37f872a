#pragma once

#include "shell/AddPanelState.h"

#include <QToolButton>

class QMenu;

// The add panel's subtitle list: a button that names how many of the
// movie's subtitle tracks will be written and opens a menu with a check box
// for each; unticking one leaves it out of this movie alone.
class SubtitleChooser final : public QToolButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SubtitleChooser)

public:
    explicit SubtitleChooser(QWidget* parent = nullptr);
    void setItems(const QList<AddPanelState::SubtitleItem>& items);
    QMenu* trackMenu() const { return m_menu; }

signals:
    void trackToggled(const QString& key, bool checked);

private:
    // "2 of 3": the tracks ticked of the movie's.
    void showCount();

    QMenu* m_menu = nullptr;
};

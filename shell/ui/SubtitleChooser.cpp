#include "shell/ui/SubtitleChooser.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

SubtitleChooser::SubtitleChooser(QWidget* parent) : QToolButton(parent)
{
    setObjectName(QStringLiteral("addPanelSubtitles"));
    m_menu = new QMenu(this);
    setMenu(m_menu);
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void SubtitleChooser::setItems(const QList<AddPanelState::SubtitleItem>& items)
{
    m_menu->clear();
    for (const AddPanelState::SubtitleItem& item : items) {
        QAction* action = m_menu->addAction(item.text);
        action->setCheckable(true);
        action->setChecked(item.checked);
        const QString key = item.key;
        connect(action, &QAction::toggled, this, [this, key](bool on) {
            showCount();
            emit trackToggled(key, on);
        });
    }
    setEnabled(!items.isEmpty());
    showCount();
}

void SubtitleChooser::showCount()
{
    const QList<QAction*> actions = m_menu->actions();
    const auto checked = std::count_if(actions.begin(), actions.end(),
                                       [](const QAction* a) { return a->isChecked(); });
    setText(actions.isEmpty() ? tr("None")
                              : tr("%1 of %n", nullptr, int(actions.size())).arg(checked));
}

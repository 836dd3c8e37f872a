#pragma once

#include <QList>
#include <QObject>

class ConversionJob;
class QAction;
class QListView;
class QMenu;

// The commands on the jobs selected in the queue list, as actions: keys on
// the list (Space pauses or continues, Delete removes, Enter shows the
// result or why it failed) and its context menu, which adds "Show Source"
// and, for a failed job, "Copy Error Details". Double-clicking a row shows
// it too. Removing a converting job asks first.
class JobActions final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JobActions)

public:
    explicit JobActions(QListView& view);

    QAction* toggleAction() const { return m_toggle; }
    QAction* removeAction() const { return m_remove; }
    QAction* revealAction() const { return m_reveal; }
    QAction* showSourceAction() const { return m_showSource; }
    QAction* copyErrorAction() const { return m_copyError; }

    // The selected jobs in list order, and the one with the focus.
    QList<ConversionJob*> selectedJobs() const;
    ConversionJob* currentJob() const;
    // The context menu's commands for the selection as it is now.
    void fillContextMenu(QMenu& menu);
    // Brings texts and enabled states up to date with the selection.
    void refresh();

    // Removes the jobs; asks first when one of them converts. False when the
    // user kept them.
    static bool removeJobs(const QList<ConversionJob*>& jobs);

private:
    void togglePauseOfSelection();
    void showContextMenu(const QPoint& pos);

    QListView& m_view;
    QAction* m_toggle = nullptr;
    QAction* m_remove = nullptr;
    QAction* m_reveal = nullptr;
    QAction* m_showSource = nullptr;
    QAction* m_copyError = nullptr;
};

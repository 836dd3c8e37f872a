#pragma once

#include "engine/JobHost.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class ConversionJob;

// The application-wide shell object: the queue of conversion jobs and the
// texts the front ends show for it (window title, pause/resume controls,
// the add panel's confirm button). QtCore only, so the desktop and the
// command line drive the same code.
class AppDelegate final : public QObject, public JobHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppDelegate)
    Q_PROPERTY(QString windowTitle READ windowTitle NOTIFY windowTitleChanged)
    Q_PROPERTY(QString addButtonTitle READ addButtonTitle WRITE setAddButtonTitle NOTIFY
                   addButtonTitleChanged)
    Q_PROPERTY(QString pauseContinueTitle READ pauseContinueTitle NOTIFY pauseContinueChanged)
    Q_PROPERTY(QString pauseContinueImage READ pauseContinueImage NOTIFY pauseContinueChanged)
    Q_PROPERTY(bool paused READ paused NOTIFY pauseContinueChanged)

public:
    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    // The queue.
    const QList<ConversionJob*>& taskArray() const { return m_taskArray; }
    // Takes the job over; answers false (and drops it) when its destination
    // cannot be written.
    bool addJob(ConversionJob* job);
    void removeJob(ConversionJob* job) override;
    qint64 jobCountWithState(int state) const override;
    void startNextJobInQueue() override;
    void pauseContinueClicked(QObject* sender) override;
    void cleanClicked();
    void updateWindowTitle();
    // Asks before quitting while a job converts; true: quit now.
    bool applicationShouldTerminate();
    // Flushes the settings and removes every job: running tools end and
    // unfinished outputs are deleted.
    void applicationWillTerminate();
    void terminateApplication() override;
    // Destinations of every job in the queue, which a new job must avoid.
    QStringList queuedDestinations() const;

    // Closes the add panel or moves on to the next movie; the desktop front
    // end sets what it does.
    void cancelAdd();
    void setCancelAddHandler(std::function<void()> handler) { m_cancelAdd = std::move(handler); }

    QString windowTitle() const { return m_windowTitle; }
    QString addButtonTitle() const { return m_addButtonTitle; }
    void setAddButtonTitle(const QString& title);
    QString pauseContinueTitle() const;
    QString pauseContinueImage() const;
    bool paused() const { return m_paused; }

signals:
    void jobAboutToBeAdded(int row);
    void jobAdded(int row);
    void jobAboutToBeRemoved(int row);
    void jobRemoved(int row);
    void taskArrayChanged();
    void windowTitleChanged(const QString& title);
    void addButtonTitleChanged(const QString& title);
    void pauseContinueChanged();
    // The application is asked to quit (after the last conversion).
    void terminateRequested();

private:
    QList<ConversionJob*> m_taskArray;
    bool m_paused = false;
    bool m_terminating = false;
    QString m_windowTitle;
    QString m_addButtonTitle = QStringLiteral("Start Conversion");
    std::function<void()> m_cancelAdd;
};

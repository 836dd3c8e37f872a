#pragma once

#include <QListView>

// The queue list. While the queue is empty it shows a hint where to drop
// movies; drops themselves are taken by the main window.
class JobListView final : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JobListView)

public:
    explicit JobListView(QWidget* parent = nullptr);

    static QString dropHintText() { return QStringLiteral("Drop movies here"); }
    bool showsDropHint() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

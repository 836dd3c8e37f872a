#pragma once

#include <QListView>

// The queue list. While the queue is empty it shows a hint where to drop
// movies, and while a drag the window will take is over it, a highlighted
// drop area; drops themselves are taken by the main window.
class JobListView final : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JobListView)

public:
    explicit JobListView(QWidget* parent = nullptr);

    static QString dropHintText() { return tr("Drop movies here"); }
    bool showsDropHint() const;
    static QString dropHereText() { return tr("Drop to add the movies"); }
    void setDropHighlighted(bool highlighted);
    bool isDropHighlighted() const { return m_dropHighlighted; }

signals:
    // A double click on a row, away from its buttons.
    void rowDoubleClicked(const QModelIndex& index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void paintDropArea(QPainter& painter, const QRect& box, const QColor& ink,
                       const QString& text) const;

    bool m_dropHighlighted = false;
};

#include "shell/ui/JobListView.h"

#include "shell/ui/JobListModel.h"
#include "shell/ui/JobRowLayout.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

JobListView::JobListView(QWidget* parent) : QListView(parent)
{
    setMouseTracking(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(true);
    setFrameShape(QFrame::NoFrame);
    setAcceptDrops(false); // drops go on to the main window
}

bool JobListView::showsDropHint() const
{
    return !model() || model()->rowCount() == 0;
}

void JobListView::setDropHighlighted(bool highlighted)
{
    if (highlighted == m_dropHighlighted)
        return;
    m_dropHighlighted = highlighted;
    viewport()->update();
}

void JobListView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    if (!showsDropHint() && !m_dropHighlighted)
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect area = viewport()->rect().adjusted(24, 24, -24, -24);
    if (m_dropHighlighted) {
        // Over the whole list, rows or not: the drop will be taken.
        QColor fill = palette().color(QPalette::Highlight);
        fill.setAlpha(40);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(viewport()->rect().adjusted(6, 6, -6, -6)), 14, 14);
        paintDropArea(painter, viewport()->rect().adjusted(6, 6, -6, -6),
                      palette().color(QPalette::Highlight), dropHereText());
        return;
    }
    const QRect box(area.center().x() - std::min(area.width(), 360) / 2,
                    area.center().y() - std::min(area.height(), 180) / 2,
                    std::min(area.width(), 360), std::min(area.height(), 180));
    paintDropArea(painter, box, palette().color(QPalette::PlaceholderText), dropHintText());
}

void JobListView::paintDropArea(QPainter& painter, const QRect& box, const QColor& ink,
                                const QString& text) const
{
    QPen dashed(ink, 2.0, Qt::DashLine);
    painter.setPen(dashed);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(box), 14, 14);

    // A downward arrow above the text.
    const int arrowTop = box.center().y() - std::min(box.height() / 4, 50);
    const QPointF top(box.center().x(), arrowTop);
    const QPointF tip(box.center().x(), box.center().y() + 6);
    painter.setPen(QPen(ink, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(top, tip);
    painter.drawLine(tip, tip + QPointF(-10, -10));
    painter.drawLine(tip, tip + QPointF(10, -10));

    QFont font = this->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    painter.setFont(font);
    painter.setPen(ink);
    const QRect textRect(box.left(), int(tip.y()) + 8, box.width(),
                         QFontMetrics(font).height() + 8);
    painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignVCenter, text);
}

void JobListView::mouseMoveEvent(QMouseEvent* event)
{
    QListView::mouseMoveEvent(event);
    // The row's buttons light up under the mouse.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        viewport()->update(visualRect(index));
}

void JobListView::leaveEvent(QEvent* event)
{
    QListView::leaveEvent(event);
    viewport()->update();
}

void JobListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    const bool onButton =
        index.isValid() &&
        rowButtonAt(visualRect(index), JobState(index.data(JobListModel::StateRole).toInt()), pos);
    QListView::mouseDoubleClickEvent(event);
    if (index.isValid() && !onButton && event->button() == Qt::LeftButton)
        emit rowDoubleClicked(index);
}

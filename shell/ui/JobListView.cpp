#include "shell/ui/JobListView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

JobListView::JobListView(QWidget* parent) : QListView(parent)
{
    setMouseTracking(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(true);
    setFrameShape(QFrame::NoFrame);
    setAcceptDrops(false); // drops go on to the main window
}

bool JobListView::showsDropHint() const
{
    return !model() || model()->rowCount() == 0;
}

void JobListView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    if (!showsDropHint())
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    QColor ink = palette().color(QPalette::PlaceholderText);
    const QRect area = viewport()->rect().adjusted(24, 24, -24, -24);
    const QRect box(area.center().x() - std::min(area.width(), 360) / 2,
                    area.center().y() - std::min(area.height(), 180) / 2,
                    std::min(area.width(), 360), std::min(area.height(), 180));
    QPen dashed(ink, 2.0, Qt::DashLine);
    painter.setPen(dashed);
    painter.drawRoundedRect(QRectF(box), 14, 14);

    // A downward arrow above the text.
    const QPointF top(box.center().x(), box.top() + box.height() * 0.22);
    const QPointF tip(box.center().x(), box.top() + box.height() * 0.48);
    painter.setPen(QPen(ink, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(top, tip);
    painter.drawLine(tip, tip + QPointF(-10, -10));
    painter.drawLine(tip, tip + QPointF(10, -10));

    QFont font = this->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    painter.setFont(font);
    painter.setPen(ink);
    const QRect textRect(box.left(), int(tip.y()) + 8, box.width(),
                         box.bottom() - int(tip.y()) - 16);
    painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignVCenter, dropHintText());
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

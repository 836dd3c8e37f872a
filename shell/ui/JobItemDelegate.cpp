#include "shell/ui/JobItemDelegate.h"

#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "shell/ui/AppIcons.h"
#include "shell/ui/CoverThumbnails.h"
#include "shell/ui/JobListModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace {

struct Badge
{
    QString text;
    QColor color;
};

QList<Badge> badgesFor(const QModelIndex& index)
{
    QList<Badge> badges;
    if (index.data(JobListModel::FastmodeRole).toBool())
        badges.append({JobItemDelegate::tr("Fast"), QColor(0x2e, 0x7d, 0xd2)});
    if (index.data(JobListModel::SlowmodeRole).toBool())
        badges.append({JobItemDelegate::tr("Slow"), QColor(0xe0, 0x8a, 0x00)});
    if (index.data(JobListModel::FinishedOKRole).toBool())
        badges.append({JobItemDelegate::tr("Finished"), QColor(0x2e, 0x9d, 0x4c)});
    if (index.data(JobListModel::FinishedErrorRole).toBool())
        badges.append({JobItemDelegate::tr("Failed"), QColor(0xc6, 0x28, 0x28)});
    return badges;
}

QFont smallerFont(const QFont& base, qreal factor)
{
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * factor);
    return font;
}

QFont badgeFont(const QFont& base)
{
    QFont font = smallerFont(base, 0.8);
    font.setBold(true);
    return font;
}

QFont statusFont(const QFont& base)
{
    return smallerFont(base, 0.9);
}

const QColor kFailureColor(0xc6, 0x28, 0x28);

// Where the three lines of a row sit: name, progress bar, status line.
struct RowLines
{
    QRect name, bar, status;
};

RowLines rowLines(const QStyleOptionViewItem& option)
{
    const QRect text = rowTextRect(option.rect);
    QFont nameFont = option.font;
    nameFont.setBold(true);
    const int lineHeight = QFontMetrics(nameFont).height();
    RowLines lines;
    lines.name = QRect(text.left(), text.top(), text.width(), lineHeight);
    lines.bar = QRect(text.left(), text.top() + lineHeight + 3, text.width(), 10);
    lines.status = QRect(text.left(), lines.bar.bottom() + 4, text.width(),
                         QFontMetrics(statusFont(option.font)).height());
    return lines;
}

} // namespace

JobItemDelegate::JobItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent), m_movieIcon(AppIcons::movie())
{
    // A cover taken out of a movie arrives later: the rows are drawn again.
    if (auto* view = qobject_cast<QAbstractItemView*>(parent))
        connect(&CoverThumbnails::instance(), &CoverThumbnails::changed, view,
                [view] { view->viewport()->update(); });
}

QSize JobItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    const int lines = option.fontMetrics.height() * 2 + 12 + 20;
    return QSize(360, std::max(kRowHeight, lines));
}

void JobItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    painter->save();
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, option.widget);

    // A thin line between rows.
    painter->setPen(option.palette.color(QPalette::Midlight));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());

    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorRole textRole = selected ? QPalette::HighlightedText : QPalette::Text;
    const JobState state = JobState(index.data(JobListModel::StateRole).toInt());

    const QRect iconRect(option.rect.left() + 10, option.rect.center().y() - 16, 32, 32);
    const ConversionJob* job = JobListModel::jobFromIndex(index);
    const QPixmap cover = job && job->fileInfo()
                              ? CoverThumbnails::instance().thumbnail(*job->fileInfo(), 32)
                              : QPixmap();
    if (cover.isNull()) {
        m_movieIcon.paint(painter, iconRect);
    } else {
        QRect shown(QPoint(), cover.size());
        shown.moveCenter(iconRect.center());
        painter->drawPixmap(shown, cover);
    }

    const QRect text = rowTextRect(option.rect);
    const RowLines lines = rowLines(option);
    QFont nameFont = option.font;
    nameFont.setBold(true);
    const QFontMetrics nameMetrics(nameFont);
    const int lineHeight = nameMetrics.height();

    // Line 1: the movie name, then its badges.
    const QList<Badge> badges = badgesFor(index);
    const QFontMetrics badgeMetrics(badgeFont(option.font));
    int badgesWidth = 0;
    for (const Badge& badge : badges)
        badgesWidth += badgeMetrics.horizontalAdvance(badge.text) + 14;
    const QString name =
        nameMetrics.elidedText(index.data(JobListModel::FileNameRole).toString(), Qt::ElideMiddle,
                               std::max(40, text.width() - badgesWidth));
    painter->setFont(nameFont);
    painter->setPen(option.palette.color(textRole));
    const QRect nameRect(text.left(), text.top(), nameMetrics.horizontalAdvance(name), lineHeight);
    painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter, name);
    paintBadges(painter, option, index,
                QRect(nameRect.right() + 8, text.top(), badgesWidth, lineHeight));

    // Line 2: the progress bar.
    QStyleOptionProgressBar bar;
    bar.initFrom(option.widget);
    bar.state = QStyle::State_Enabled | QStyle::State_Horizontal;
    bar.rect = lines.bar;
    bar.minimum = 0;
    bar.maximum = 1000;
    bar.progress =
        int(std::clamp(index.data(JobListModel::ProgressRole).toDouble(), 0.0, 100.0) * 10.0);
    bar.textVisible = false;
    bar.palette = option.palette;
    bar.palette.setColor(QPalette::Highlight, progressBarColor(option, state));
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);

    // Line 3: the status line, cut at the end when it does not fit (the
    // row's tool tip then shows it whole).
    const QFont font = statusFont(option.font);
    const QFontMetrics statusMetrics(font);
    painter->setFont(font);
    QColor statusColor =
        option.palette.color(selected ? QPalette::HighlightedText : QPalette::PlaceholderText);
    if (state == JobFailed && !selected)
        statusColor = kFailureColor;
    painter->setPen(statusColor);
    painter->drawText(lines.status, Qt::AlignLeft | Qt::AlignVCenter,
                      shownStatusLine(option, index));

    // The view repaints a row while the mouse moves over it (JobListView).
    std::optional<QPoint> mouse;
    if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        view && (option.state & QStyle::State_MouseOver))
        mouse = view->viewport()->mapFromGlobal(QCursor::pos());
    for (const RowButtonPlace& place : rowButtons(option.rect, state)) {
        const bool hovered = mouse && place.rect.contains(*mouse);
        paintButton(painter, option, place.button, place.rect, hovered);
    }
    painter->restore();
}

QColor JobItemDelegate::progressBarColor(const QStyleOptionViewItem& option, JobState state)
{
    if (state == JobFailed)
        return kFailureColor;
    // On a selected row the usual bar colour is the selection's own colour.
    if (option.state & QStyle::State_Selected)
        return option.palette.color(QPalette::Highlight).darker(160);
    return option.palette.color(QPalette::Highlight);
}

QString JobItemDelegate::shownStatusLine(const QStyleOptionViewItem& option,
                                         const QModelIndex& index)
{
    const QString status = index.data(JobListModel::StateInfoStringRole).toString();
    return QFontMetrics(statusFont(option.font))
        .elidedText(status, Qt::ElideRight, rowLines(option).status.width());
}

QString JobItemDelegate::toolTipAt(const QStyleOptionViewItem& option, const QModelIndex& index,
                                   const QPoint& pos)
{
    const JobState state = JobState(index.data(JobListModel::StateRole).toInt());
    if (const auto button = rowButtonAt(option.rect, state, pos))
        return rowButtonToolTip(*button, state);
    const QString status = index.data(JobListModel::StateInfoStringRole).toString();
    const QString destination = index.data(Qt::ToolTipRole).toString();
    if (shownStatusLine(option, index) != status)
        return destination.isEmpty() ? status : status + QLatin1Char('\n') + destination;
    return destination;
}

void JobItemDelegate::paintBadges(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index, QRect area) const
{
    const QFont font = badgeFont(option.font);
    const QFontMetrics metrics(font);
    painter->setFont(font);
    int x = area.left();
    const int height = metrics.height() + 2;
    const int top = area.top() + (area.height() - height) / 2;
    painter->setRenderHint(QPainter::Antialiasing);
    for (const Badge& badge : badgesFor(index)) {
        const QRect pill(x, top, metrics.horizontalAdvance(badge.text) + 10, height);
        QPainterPath path;
        path.addRoundedRect(pill, height / 2.0, height / 2.0);
        painter->fillPath(path, badge.color);
        painter->setPen(Qt::white);
        painter->drawText(pill, Qt::AlignCenter, badge.text);
        x = pill.right() + 5;
    }
}

void JobItemDelegate::paintButton(QPainter* painter, const QStyleOptionViewItem& option,
                                  RowButton button, const QRect& rect, bool hovered) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const bool selected = option.state & QStyle::State_Selected;
    QColor ink = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    if (hovered) {
        QColor fill = option.palette.color(QPalette::Mid);
        fill.setAlpha(90);
        painter->setPen(Qt::NoPen);
        painter->setBrush(fill);
        painter->drawEllipse(rect.adjusted(1, 1, -1, -1));
    }
    ink.setAlpha(hovered ? 255 : 190);
    const QRectF r = QRectF(rect).adjusted(8, 8, -8, -8);
    painter->setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->setBrush(Qt::NoBrush);
    switch (button) {
    case RowButton::StartOrContinue: {
        QPolygonF triangle;
        triangle << QPointF(r.left() + 1, r.top()) << QPointF(r.right() + 1, r.center().y())
                 << QPointF(r.left() + 1, r.bottom());
        painter->setBrush(ink);
        painter->drawPolygon(triangle);
        break;
    }
    case RowButton::Pause:
        painter->drawLine(QPointF(r.left() + 2, r.top()), QPointF(r.left() + 2, r.bottom()));
        painter->drawLine(QPointF(r.right() - 2, r.top()), QPointF(r.right() - 2, r.bottom()));
        break;
    case RowButton::Remove:
        painter->drawLine(r.topLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomLeft());
        break;
    case RowButton::Reveal: {
        // A right arrow in a circle, like the file-manager link of a row.
        const QRectF circle = QRectF(rect).adjusted(4, 4, -4, -4);
        painter->setPen(QPen(ink, 1.5));
        painter->drawEllipse(circle);
        painter->setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF c = circle.center();
        painter->drawLine(QPointF(c.x() - 4, c.y()), QPointF(c.x() + 4, c.y()));
        painter->drawLine(QPointF(c.x() + 1, c.y() - 3), QPointF(c.x() + 4, c.y()));
        painter->drawLine(QPointF(c.x() + 1, c.y() + 3), QPointF(c.x() + 4, c.y()));
        break;
    }
    }
    painter->restore();
}

void JobItemDelegate::activate(RowButton button, const QModelIndex& index, bool shiftHeld)
{
    ConversionJob* job = JobListModel::jobFromIndex(index);
    if (!job)
        return;
    switch (button) {
    case RowButton::StartOrContinue:
        job->continueJob();
        break;
    case RowButton::Pause:
        job->pause();
        break;
    case RowButton::Remove:
        job->remove();
        break;
    case RowButton::Reveal:
        job->reveal(shiftHeld);
        break;
    }
}

bool JobItemDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                  const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const auto type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    auto* mouse = static_cast<QMouseEvent*>(event);
    const JobState state = JobState(index.data(JobListModel::StateRole).toInt());
    const std::optional<RowButton> under =
        rowButtonAt(option.rect, state, mouse->position().toPoint());

    if (type == QEvent::MouseMove)
        return false;
    if (!under || mouse->button() != Qt::LeftButton)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        m_pressedButton = under;
        return true;
    }
    const bool clicked = m_pressedButton == under;
    m_pressedButton.reset();
    if (clicked) {
        // The job may leave the list (remove): act after this event is done.
        const QPersistentModelIndex target(index);
        const bool shift = mouse->modifiers() & Qt::ShiftModifier;
        const RowButton button = *under;
        QMetaObject::invokeMethod(
            this,
            [target, button, shift] {
                if (target.isValid())
                    activate(button, target, shift);
            },
            Qt::QueuedConnection);
    }
    return true;
}

bool JobItemDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event && event->type() == QEvent::ToolTip && index.isValid()) {
        const QString tip = toolTipAt(option, index, event->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(event->globalPos(), tip, view, option.rect);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

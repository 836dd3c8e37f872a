#pragma once

#include "shell/ui/JobRowLayout.h"

#include <QIcon>
#include <QStyledItemDelegate>

// Paints one job row of the queue: movie name with badges (fast, slow,
// finished, failed), a progress bar, the status line and the row's buttons.
// No widget per row: the buttons are painted, and clicks on them go to the
// job in editorEvent.
class JobItemDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JobItemDelegate)

public:
    explicit JobItemDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // Runs the button's action on the row's job (what a click does).
    static void activate(RowButton button, const QModelIndex& index, bool shiftHeld);
    // The status line as the row shows it, cut at the end to fit.
    static QString shownStatusLine(const QStyleOptionViewItem& option, const QModelIndex& index);
    // The tool tip at `pos`: a button's purpose; elsewhere the whole status
    // line when the row shows it cut, and the destination.
    static QString toolTipAt(const QStyleOptionViewItem& option, const QModelIndex& index,
                             const QPoint& pos);
    // The bar's colour: the failure colour for a failed job, one that stands
    // out from the selection on a selected row.
    static QColor progressBarColor(const QStyleOptionViewItem& option, JobState state);

private:
    void paintButton(QPainter* painter, const QStyleOptionViewItem& option, RowButton button,
                     const QRect& rect, bool hovered) const;
    void paintBadges(QPainter* painter, const QStyleOptionViewItem& option,
                     const QModelIndex& index, QRect area) const;

    QIcon m_movieIcon;
    std::optional<RowButton> m_pressedButton;
};

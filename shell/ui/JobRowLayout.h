#pragma once

#include "engine/JobState.h"

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

// Where the parts of one job row sit, and which of its buttons show for a
// job state. Pure geometry, shared by painting and click handling.

enum class RowButton { StartOrContinue, Pause, Remove, Reveal };

struct RowButtonPlace
{
    RowButton button;
    QRect rect;
};

inline constexpr int kRowHeight = 66;
inline constexpr int kRowButtonSize = 26;

// The visible buttons of a row in `rowRect` for a job in `state`: start or
// continue while the job is neither converting nor done, pause while it
// converts, remove and reveal always. The start and pause buttons share
// one place so the others never move.
QList<RowButtonPlace> rowButtons(const QRect& rowRect, JobState state);
// The button under `pos`, if any.
std::optional<RowButton> rowButtonAt(const QRect& rowRect, JobState state, const QPoint& pos);
// The text area left of the buttons.
QRect rowTextRect(const QRect& rowRect);
// The tool tip of a button; a failed job's reveal explains the failure.
QString rowButtonToolTip(RowButton button, JobState state);

#include "shell/ui/JobRowLayout.h"

#include "engine/JobState.h"
#include "shell/ValueTransformers.h"

#include <QCoreApplication>

namespace {

constexpr int kMargin = 10;
constexpr int kGap = 4;

bool transformed(const NumberValueTransformer& transformer, JobState state)
{
    return transformer.transformedValue(QVariant(int(state))).toInt() != 0;
}

QRect slotRect(const QRect& rowRect, int slotFromRight)
{
    const int right = rowRect.right() - kMargin - slotFromRight * (kRowButtonSize + kGap);
    const int top = rowRect.top() + (rowRect.height() - kRowButtonSize) / 2;
    return QRect(right - kRowButtonSize + 1, top, kRowButtonSize, kRowButtonSize);
}

} // namespace

QList<RowButtonPlace> rowButtons(const QRect& rowRect, JobState state)
{
    QList<RowButtonPlace> places;
    if (transformed(StatusNotRunningValueTransformer(), state) &&
        transformed(StatusNotFinishedValueTransformer(), state))
        places.append({RowButton::StartOrContinue, slotRect(rowRect, 2)});
    if (transformed(StatusIsRunningValueTransformer(), state))
        places.append({RowButton::Pause, slotRect(rowRect, 2)});
    places.append({RowButton::Remove, slotRect(rowRect, 1)});
    places.append({RowButton::Reveal, slotRect(rowRect, 0)});
    return places;
}

std::optional<RowButton> rowButtonAt(const QRect& rowRect, JobState state, const QPoint& pos)
{
    for (const RowButtonPlace& place : rowButtons(rowRect, state))
        if (place.rect.contains(pos))
            return place.button;
    return std::nullopt;
}

QRect rowTextRect(const QRect& rowRect)
{
    const int buttonsWidth = 3 * kRowButtonSize + 2 * kGap + kMargin;
    return rowRect.adjusted(kMargin + 40, 6, -(buttonsWidth + 2 * kMargin), -6);
}

QString rowButtonToolTip(RowButton button, JobState state)
{
    switch (button) {
    case RowButton::StartOrContinue:
        return state == JobPaused ? QCoreApplication::translate("JobRowLayout", "Continue")
                                  : QCoreApplication::translate("JobRowLayout", "Start");
    case RowButton::Pause:
        return QCoreApplication::translate("JobRowLayout", "Pause");
    case RowButton::Remove:
        return QCoreApplication::translate("JobRowLayout", "Remove from the list");
    case RowButton::Reveal:
        return state == JobFailed
                   ? QCoreApplication::translate("JobRowLayout", "Why did the conversion fail?")
                   : QCoreApplication::translate("JobRowLayout",
                                                 "Show in the file manager (with Shift: "
                                                 "the source movie)");
    }
    return {};
}

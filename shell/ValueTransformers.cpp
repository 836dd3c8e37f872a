#include "shell/ValueTransformers.h"

#include "engine/JobState.h"

#include <QSequentialIterable>

namespace {

int stateOf(const QVariant& value)
{
    bool ok = false;
    const int state = value.toInt(&ok);
    return ok ? state : 0;
}

QVariant number(bool condition)
{
    return QVariant(condition ? 1 : 0);
}

} // namespace

QVariant NonEmptyCollectionValueTransformer::transformedValue(const QVariant& value) const
{
    if (!value.isValid() || value.isNull())
        return QVariant(false);
    // Strings convert to lists in QVariant but are not collections here.
    const int type = value.typeId();
    if (type == QMetaType::QString || type == QMetaType::QByteArray)
        return QVariant(false);
    if (!value.canConvert<QVariantList>() && !value.canConvert<QSequentialIterable>())
        return QVariant(false);
    const QSequentialIterable items = value.value<QSequentialIterable>();
    return QVariant(items.size() > 0);
}

QVariant StatusIsRunningValueTransformer::transformedValue(const QVariant& value) const
{
    return number(stateOf(value) == int(JobConverting));
}

QVariant StatusIsQueuedValueTransformer::transformedValue(const QVariant& value) const
{
    return number(stateOf(value) == int(JobQueued));
}

QVariant StatusNotRunningValueTransformer::transformedValue(const QVariant& value) const
{
    return number(stateOf(value) != int(JobConverting));
}

QVariant StatusNotQueuedAndPausedValueTransformer::transformedValue(const QVariant& value) const
{
    const int state = stateOf(value);
    return number(state != int(JobQueued) && state != int(JobPaused));
}

QVariant StatusNotFinishedValueTransformer::transformedValue(const QVariant& value) const
{
    const int state = stateOf(value);
    return number(state != int(JobFinished) && state != int(JobFailed));
}

#pragma once

#include <QVariant>

// Turn a job's state (or a collection) into 1 or 0 for the job list: which
// buttons of a row show and which controls are enabled. A state is read as
// an integer; a missing value reads 0.

class NumberValueTransformer
{
public:
    virtual ~NumberValueTransformer() = default;
    virtual QVariant transformedValue(const QVariant& value) const = 0;
    static bool allowsReverseTransformation() { return false; }
};

// True for a collection with at least one element; false for nothing, an
// empty collection, or a value that is not a collection (a number).
class NonEmptyCollectionValueTransformer final : public NumberValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

// 1 for Converting.
class StatusIsRunningValueTransformer final : public NumberValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

// 1 for Queued.
class StatusIsQueuedValueTransformer final : public NumberValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

// 1 for anything but Converting.
class StatusNotRunningValueTransformer final : public NumberValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

// 1 unless Queued or Paused.
class StatusNotQueuedAndPausedValueTransformer final : public NumberValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

// 1 unless Finished or Failed.
class StatusNotFinishedValueTransformer final : public NumberValueTransformer
{
public:
    QVariant transformedValue(const QVariant& value) const override;
};

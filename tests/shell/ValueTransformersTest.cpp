#include "shell/ValueTransformers.h"

#include "engine/ConversionJob.h"

#include <QList>
#include <QStringList>
#include <gtest/gtest.h>

TEST(ValueTransformers, StatesGiveOneOrZero)
{
    const StatusIsRunningValueTransformer running;
    const StatusIsQueuedValueTransformer queued;
    const StatusNotRunningValueTransformer notRunning;
    const StatusNotQueuedAndPausedValueTransformer notQueuedAndPaused;
    const StatusNotFinishedValueTransformer notFinished;
    // Per state 0..4: running, queued, not running, not queued and paused,
    // not finished.
    const QList<QList<int>> table = {
        {0, 1, 1, 0, 1}, {1, 0, 0, 1, 1}, {0, 0, 1, 0, 1}, {0, 0, 1, 1, 0}, {0, 0, 1, 1, 0}};
    for (int state = 0; state < 5; ++state) {
        const QVariant v(state);
        const QList<int>& expected = table[state];
        EXPECT_EQ(running.transformedValue(v), QVariant(expected[0])) << state;
        EXPECT_EQ(queued.transformedValue(v), QVariant(expected[1])) << state;
        EXPECT_EQ(notRunning.transformedValue(v), QVariant(expected[2])) << state;
        EXPECT_EQ(notQueuedAndPaused.transformedValue(v), QVariant(expected[3])) << state;
        EXPECT_EQ(notFinished.transformedValue(v), QVariant(expected[4])) << state;
    }
    // A missing value reads as Queued.
    EXPECT_EQ(queued.transformedValue(QVariant()).toInt(), 1);
    EXPECT_EQ(notQueuedAndPaused.transformedValue(QVariant()).toInt(), 0);
    EXPECT_FALSE(NumberValueTransformer::allowsReverseTransformation());
}

TEST(ValueTransformers, NonEmptyCollection)
{
    const NonEmptyCollectionValueTransformer t;
    EXPECT_EQ(t.transformedValue(QVariant()), QVariant(false));
    EXPECT_EQ(t.transformedValue(QVariant(QVariantList())), QVariant(false));
    EXPECT_EQ(t.transformedValue(QVariant(3)), QVariant(false));
    EXPECT_EQ(t.transformedValue(QVariant(QStringLiteral("text"))), QVariant(false));
    EXPECT_EQ(t.transformedValue(QVariant(QVariantList{1})), QVariant(true));
    EXPECT_EQ(t.transformedValue(QVariant(QStringList{"a"})), QVariant(true));
    ConversionJob job;
    EXPECT_EQ(t.transformedValue(QVariant::fromValue(QList<ConversionJob*>{&job})), QVariant(true));
    EXPECT_EQ(t.transformedValue(QVariant::fromValue(QList<ConversionJob*>{})), QVariant(false));
}

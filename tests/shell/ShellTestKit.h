#pragma once

#include "common/JobTestKit.h"

#include <QString>
#include <QStringList>

class ConversionJob;

// A queue with recording services and clean destination settings, plus
// small movies and the waits the intake needs.
class ShellTest : public ConversionTestBase
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A small movie with one AAC track (or none with noAudio) in dir().
    QString movie(const QString& name, bool noAudio = false);
    // Stores saved destinations as the choose command does.
    static void saveDestinations(const QStringList& folders);
    // Waits until the probe of the shown movie has come back.
    bool waitForProbe();
    // Waits until every queued job has ended.
    bool waitForQueue();
};

#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct ProbeResult;

// The length of a movie whose container clock cannot be believed. A
// transport stream joined from two recordings jumps back in the middle,
// and ffmpeg then reads its length across the 26.5-hour wrap of the MPEG
// clock (26 hours for a 12-second recording); the copy itself comes out
// whole, since ffmpeg joins such jumps. The true length is the sum of the
// video packets' durations, which costs one read of the file.

// Whether the listing's length is not to be believed: a container whose
// clock may jump, read as longer than half the clock's wrap, or so long
// that the file would hold fewer than 32 kbit a second.
bool lengthNeedsCounting(const ProbeResult& probe, std::optional<quint64> fileSize);

// The ffprobe command (without the executable) that lists the durations of
// the first video stream's packets, one a line.
QStringList packetDurationsArguments(const QString& path);

// The sum of those durations in seconds; absent when none was listed.
std::optional<double> summedPacketSeconds(const QString& output);

// Puts the counted length into the listing's reading: the run time, the
// duration and the bit rate of the summary line.
void applyCountedLength(ProbeResult& probe, double seconds, std::optional<quint64> fileSize);

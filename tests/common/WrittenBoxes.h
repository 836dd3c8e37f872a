#pragma once

#include "mp4box/Mp4Boxes.h"

#include <QString>
#include <optional>

// The track headers of a written MP4 as its boxes say: sample entry (hvc1,
// avc1, ...), enabled flag, alternate group, mdhd language, sample count.
std::optional<mp4::MovieSummary> readBoxes(const QString& path);
// A four-character code as text ("hvc1").
QString fourCCText(std::uint32_t code);
// The tracks of one handler type ("vide", "soun", "text"), in file order.
std::vector<mp4::TrackSummary> tracksOf(const mp4::MovieSummary& movie, const char (&handler)[5]);
// Both audio tracks of the MP4 in the same non-zero alternate group, the
// main one enabled, the surround one (track 3) as `surroundEnabled` says.
void expectOneAudioGroup(const QString& path, bool surroundEnabled);

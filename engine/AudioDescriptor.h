#pragma once

#include <QString>

// What the engine reads from an audio track descriptor of the probe, the text
// "#<stream>: <language> (<codec>)" followed by " [5.1]" or " [7.1]" for
// surround tracks.
struct AudioDescriptor
{
    int streamIndex = 0;
    QString language;
    QString codec;
    bool surround = false;
    // The part after the first ":", beginning with a blank.
    QString displayText;
};

// A 5.1 or a 7.1 track: the marker " [5.1]" or " [7.1]".
bool isSurroundDescriptor(const QString& descriptor);

// Never fails: missing parts read as 0, empty or false.
AudioDescriptor parseAudioDescriptor(const QString& descriptor);

// The n-th blank-separated word of a descriptor (0-based), empty when missing.
QString descriptorWord(const QString& descriptor, int n);

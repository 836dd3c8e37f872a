#include "inspection/AudioTrack.h"

#include "foundation/StringHelpers.h"

#include <climits>

namespace {

// Leading blanks, an optional sign, then digits; anything else ends the
// number. Text without digits reads 0; values beyond int are capped.
int leadingInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
        ++i;
    }
    return int(negative ? -value : value);
}

QString word(const QString& text, int n)
{
    const QStringList words = split(text, QStringLiteral(" "));
    return n >= 0 && n < words.size() ? words[n] : QString();
}

} // namespace

QString AudioTrack::descriptor() const
{
    return QStringLiteral("#") + QString::number(streamIndex) + u':' + displayText();
}

QString AudioTrack::displayText() const
{
    const QString marker = surround == Surround::FivePointOne    ? QStringLiteral(" [5.1]")
                           : surround == Surround::SevenPointOne ? QStringLiteral(" [7.1]")
                                                                 : QString();
    return QStringLiteral(" ") + language + QStringLiteral(" (") + codec + QStringLiteral(")") +
           marker;
}

AudioTrack audioTrackFromDescriptor(const QString& descriptor)
{
    AudioTrack t;
    const qsizetype colon = descriptor.indexOf(u':');
    if (descriptor.size() > 1) {
        const qsizetype end = colon < 0 ? descriptor.size() : colon;
        if (end > 1)
            t.streamIndex = leadingInteger(QStringView(descriptor).mid(1, end - 1));
    }
    t.language = word(descriptor, 1);
    const QString codecWord = word(descriptor, 2);
    if (codecWord.size() >= 2)
        t.codec = codecWord.mid(1, codecWord.size() - 2);
    if (descriptor.contains(QStringLiteral("7.1")))
        t.surround = AudioTrack::Surround::SevenPointOne;
    else if (descriptor.contains(QStringLiteral("5.1")))
        t.surround = AudioTrack::Surround::FivePointOne;
    return t;
}

QList<AudioTrack> audioTracksFromDescriptors(const QStringList& descriptors)
{
    QList<AudioTrack> tracks;
    for (const QString& d : descriptors)
        tracks.append(audioTrackFromDescriptor(d));
    return tracks;
}

QStringList descriptorsOf(const QList<AudioTrack>& tracks)
{
    QStringList lines;
    for (const AudioTrack& t : tracks)
        lines.append(t.descriptor());
    return lines;
}

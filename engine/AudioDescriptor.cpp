#include "engine/AudioDescriptor.h"

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

} // namespace

QString descriptorWord(const QString& descriptor, int n)
{
    const QStringList words = split(descriptor, QStringLiteral(" "));
    return n >= 0 && n < words.size() ? words[n] : QString();
}

bool isSurroundDescriptor(const QString& descriptor)
{
    return descriptor.contains(QStringLiteral("5.1")) || descriptor.contains(QStringLiteral("7.1"));
}

AudioDescriptor parseAudioDescriptor(const QString& descriptor)
{
    AudioDescriptor d;
    const qsizetype colon = descriptor.indexOf(u':');
    if (descriptor.size() > 1) {
        const qsizetype end = colon < 0 ? descriptor.size() : colon;
        if (end > 1)
            d.streamIndex = leadingInteger(QStringView(descriptor).mid(1, end - 1));
    }
    d.language = descriptorWord(descriptor, 1);
    const QString codecWord = descriptorWord(descriptor, 2);
    if (codecWord.size() >= 2)
        d.codec = codecWord.mid(1, codecWord.size() - 2);
    d.surround = isSurroundDescriptor(descriptor);
    // Without a colon there is no prefix to drop; the whole text is shown.
    d.displayText = colon < 0 ? descriptor : descriptor.mid(colon + 1);
    return d;
}

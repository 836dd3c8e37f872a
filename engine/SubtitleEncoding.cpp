#include "engine/SubtitleEncoding.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <uchardet.h>

namespace {

const QString kFallbackEncoding = QStringLiteral("WINDOWS-1252");
// Maps every byte to a character, so iconv never stops on it.
const QString kLastResortEncoding = QStringLiteral("ISO-8859-1");

bool hasUnicodeByteOrderMark(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
           bytes.startsWith("\xFE\xFF");
}

// UTF-8 as ffmpeg checks subtitle text: no overlong forms, no surrogates, no
// code points past U+10FFFF and no sequence cut off at the end.
bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const uchar lead = *p++;
        if (lead < 0x80)
            continue;
        int trailing = 0;
        char32_t code = 0, least = 0;
        if ((lead & 0xE0) == 0xC0) {
            trailing = 1, code = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            trailing = 2, code = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            trailing = 3, code = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (end - p < trailing)
            return false;
        for (int i = 0; i < trailing; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (*p & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
    }
    return true;
}

struct DetectorDeleter
{
    void operator()(uchardet* detector) const { uchardet_delete(detector); }
};

// uchardet's name for the bytes' charset in upper case; empty when it has none.
QByteArray detectedCharset(const QByteArray& bytes)
{
    const std::unique_ptr<uchardet, DetectorDeleter> detector(uchardet_new());
    if (!detector ||
        uchardet_handle_data(detector.get(), bytes.constData(), size_t(bytes.size())) != 0)
        return {};
    uchardet_data_end(detector.get());
    const char* charset = uchardet_get_charset(detector.get());
    return charset ? QByteArray(charset).toUpper() : QByteArray();
}

struct IconvCloser
{
    void operator()(void* descriptor) const { iconv_close(iconv_t(descriptor)); }
};

// Whether iconv, which ffmpeg recodes subtitles with, knows `encoding` and
// turns all of `bytes` into UTF-8 with it.
bool iconvDecodes(const QString& encoding, const QByteArray& bytes)
{
    const iconv_t opened = iconv_open("UTF-8", encoding.toLatin1().constData());
    if (opened == iconv_t(-1))
        return false;
    const std::unique_ptr<void, IconvCloser> descriptor(opened);
    QByteArray input = bytes; // iconv takes a non-const input pointer
    char* in = input.data();
    size_t inLeft = size_t(input.size());
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(opened, &in, &inLeft, &out, &outLeft) == size_t(-1) && errno != E2BIG)
            return false; // an invalid or incomplete sequence
    }
    return true;
}

// The name to hand iconv for uchardet's answer; empty when the answer names
// no legacy encoding.
QString candidateFor(const QByteArray& detected)
{
    if (detected.isEmpty() || detected == "ASCII" || detected.startsWith("UTF-"))
        // Bytes that are not valid UTF-8 yet detected as some Unicode form
        // are a legacy code page the detector could not place.
        return {};
    if (detected == "ISO-8859-1")
        // Windows-1252 is its superset: what ISO-8859-1 leaves to control
        // codes (0x80 to 0x9F) are the quotes and dashes of real text.
        return kFallbackEncoding;
    return QString::fromLatin1(detected);
}

} // namespace

std::optional<QString> subtitleEncoding(const QByteArray& bytes)
{
    if (hasUnicodeByteOrderMark(bytes) || isValidUtf8(bytes))
        return std::nullopt;
    const QString detected = candidateFor(detectedCharset(bytes));
    if (!detected.isEmpty() && iconvDecodes(detected, bytes))
        return detected;
    if (iconvDecodes(kFallbackEncoding, bytes))
        return kFallbackEncoding;
    return kLastResortEncoding;
}

std::optional<QString> subtitleFileEncoding(const QString& path)
{
    // Only regular files: reading a FIFO would wait for a writer.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray head = file.read(kSubtitleExaminedBytes);
    if (!file.atEnd()) {
        // Cut at the last line feed, so no character is split in two: 0x0A is
        // never part of a longer sequence in UTF-8 or the legacy encodings.
        const qsizetype lineEnd = head.lastIndexOf('\n');
        if (lineEnd >= 0)
            head.truncate(lineEnd + 1);
    }
    return subtitleEncoding(head);
}

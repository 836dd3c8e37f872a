#include "inspection/MatroskaTags.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <optional>

namespace {

constexpr quint32 kSegment = 0x18538067;
constexpr quint32 kSeekHead = 0x114D9B74;
constexpr quint32 kSeek = 0x4DBB;
constexpr quint32 kSeekId = 0x53AB;
constexpr quint32 kSeekPosition = 0x53AC;
constexpr quint32 kCluster = 0x1F43B675;
constexpr quint32 kTags = 0x1254C367;
constexpr quint32 kTag = 0x7373;
constexpr quint32 kTargets = 0x63C0;
constexpr quint32 kTargetTypeValue = 0x68CA;
constexpr quint32 kTagTrackUid = 0x63C5;
constexpr quint32 kTagEditionUid = 0x63C9;
constexpr quint32 kTagChapterUid = 0x63C4;
constexpr quint32 kTagAttachmentUid = 0x63C6;
constexpr quint32 kSimpleTag = 0x67C8;
constexpr quint32 kTagName = 0x45A3;
constexpr quint32 kTagString = 0x4487;
constexpr qint64 kMaxTagsBytes = 1 << 20;
constexpr int kMaxTopLevelElements = 64;

struct Element
{
    quint32 id = 0;
    qint64 dataStart = 0;
    // Absent for an element of unknown size.
    std::optional<qint64> size;
};

// A variable-length number at `at` in `bytes`: its length from the leading
// bits, the marker bit kept for IDs and dropped for sizes.
std::optional<std::pair<quint64, int>> readVint(const QByteArray& bytes, qint64 at, bool keepMarker,
                                                int maxLength)
{
    if (at < 0 || at >= bytes.size())
        return std::nullopt;
    const auto first = quint8(bytes.at(at));
    int length = 1;
    while (length <= maxLength && !(first & (0x80 >> (length - 1))))
        ++length;
    if (length > maxLength || at + length > bytes.size())
        return std::nullopt;
    quint64 value = keepMarker ? first : (first & (0xFF >> length));
    bool allOnes = value == quint64(0xFF >> length);
    for (int i = 1; i < length; ++i) {
        const auto byte = quint8(bytes.at(at + i));
        allOnes = allOnes && byte == 0xFF;
        value = (value << 8) | byte;
    }
    if (!keepMarker && allOnes)
        value = ~quint64(0); // unknown size
    return std::pair<quint64, int>{value, length};
}

// The element header at `at` of a buffer that starts at file offset `base`.
std::optional<Element> readElement(const QByteArray& bytes, qint64 at, qint64 base)
{
    const auto id = readVint(bytes, at, true, 4);
    if (!id)
        return std::nullopt;
    const auto size = readVint(bytes, at + id->second, false, 8);
    if (!size)
        return std::nullopt;
    Element e;
    e.id = quint32(id->first);
    e.dataStart = base + at + id->second + size->second;
    if (size->first != ~quint64(0) && size->first < quint64(1) << 56)
        e.size = qint64(size->first);
    return e;
}

QByteArray readAt(QFile& file, qint64 at, qint64 length)
{
    if (at < 0 || length <= 0 || !file.seek(at))
        return {};
    return file.read(length);
}

quint64 unsignedOf(const QByteArray& bytes)
{
    quint64 value = 0;
    for (const char c : bytes.left(8))
        value = (value << 8) | quint8(c);
    return value;
}

// The children of an element held in `bytes` (which starts with its data),
// as (id, data) pairs.
QList<std::pair<quint32, QByteArray>> childrenOf(const QByteArray& bytes)
{
    QList<std::pair<quint32, QByteArray>> children;
    qint64 at = 0;
    while (at < bytes.size()) {
        const auto e = readElement(bytes, at, 0);
        if (!e || !e->size || e->dataStart + *e->size > bytes.size())
            break;
        children.append({e->id, bytes.mid(e->dataStart, *e->size)});
        at = e->dataStart + *e->size;
    }
    return children;
}

void readTags(const QByteArray& tags, QHash<int, QHash<QString, QString>>& out)
{
    for (const auto& [id, tag] : childrenOf(tags)) {
        if (id != kTag)
            continue;
        int level = 50;
        bool forPart = false;
        QList<std::pair<QString, QString>> simple;
        for (const auto& [childId, child] : childrenOf(tag)) {
            if (childId == kTargets) {
                for (const auto& [targetId, target] : childrenOf(child)) {
                    if (targetId == kTargetTypeValue)
                        level = int(qMin<quint64>(unsignedOf(target), 1000));
                    else if ((targetId == kTagTrackUid || targetId == kTagAttachmentUid ||
                              targetId == kTagChapterUid || targetId == kTagEditionUid) &&
                             unsignedOf(target) != 0)
                        forPart = true;
                }
            } else if (childId == kSimpleTag) {
                QString name, value;
                for (const auto& [fieldId, field] : childrenOf(child)) {
                    if (fieldId == kTagName)
                        name = QString::fromUtf8(field).trimmed();
                    else if (fieldId == kTagString)
                        value = QString::fromUtf8(field).trimmed();
                }
                if (!name.isEmpty() && !value.isEmpty())
                    simple.append({name.toUpper(), value});
            }
        }
        if (forPart)
            continue;
        for (const auto& [name, value] : simple)
            if (!out[level].contains(name))
                out[level].insert(name, value);
    }
}

} // namespace

QHash<int, QHash<QString, QString>> matroskaMovieTags(const QString& path)
{
    QHash<int, QHash<QString, QString>> tags;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return tags;
    // The EBML header, then the segment.
    const QByteArray start = readAt(file, 0, 64);
    const auto header = readElement(start, 0, 0);
    if (!header || header->id != 0x1A45DFA3 || !header->size)
        return tags;
    const qint64 segmentAt = header->dataStart + *header->size;
    const auto segment = readElement(readAt(file, segmentAt, 16), 0, segmentAt);
    if (!segment || segment->id != kSegment)
        return tags;
    const qint64 segmentData = segment->dataStart;

    std::optional<qint64> tagsAt;
    qint64 at = segmentData;
    for (int n = 0; n < kMaxTopLevelElements && at < file.size(); ++n) {
        const auto e = readElement(readAt(file, at, 16), 0, at);
        if (!e || !e->size || e->id == kCluster)
            break;
        if (e->id == kTags) {
            tagsAt = at;
            break;
        }
        if (e->id == kSeekHead && *e->size <= kMaxTagsBytes) {
            for (const auto& [id, seek] : childrenOf(readAt(file, e->dataStart, *e->size))) {
                if (id != kSeek)
                    continue;
                QByteArray seekId;
                std::optional<quint64> position;
                for (const auto& [fieldId, field] : childrenOf(seek)) {
                    if (fieldId == kSeekId)
                        seekId = field;
                    else if (fieldId == kSeekPosition)
                        position = unsignedOf(field);
                }
                if (seekId == QByteArray("\x12\x54\xC3\x67", 4) && position &&
                    *position < quint64(file.size()))
                    tagsAt = segmentData + qint64(*position);
            }
        }
        at = e->dataStart + *e->size;
    }
    if (!tagsAt)
        return tags;
    const auto element = readElement(readAt(file, *tagsAt, 16), 0, *tagsAt);
    if (!element || element->id != kTags || !element->size || *element->size > kMaxTagsBytes)
        return tags;
    readTags(readAt(file, element->dataStart, *element->size), tags);
    return tags;
}

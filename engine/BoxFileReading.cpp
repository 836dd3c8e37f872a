#include "engine/BoxFileReading.h"

#include <QFile>

mp4::ReadAt readAtFile(QFile& file)
{
    return [&file](std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
        if (!file.seek(qint64(offset)))
            return std::size_t(0);
        const qint64 got = file.read(reinterpret_cast<char*>(dest), qint64(count));
        return got < 0 ? std::size_t(0) : std::size_t(got);
    };
}

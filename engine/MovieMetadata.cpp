#include "engine/MovieMetadata.h"

#include "engine/StreamArguments.h"

void addCoverAndTags(FfmpegCommand& command, const ConversionInputs& in,
                     const ConversionSettings& s)
{
    if (s.writeTags == 0)
        return;
    bool cover = false;
    if (in.coverStream) {
        command.addMap(streamSpecifier(*in.coverStream));
        cover = true;
    } else if (!in.coverFile.isEmpty()) {
        const int input = command.addInput(in.coverFile);
        command.addMap(QStringLiteral("%1:0").arg(input));
        cover = true;
    }
    if (cover)
        command.addStreamOptions(
            {QStringLiteral("-disposition:v:1"), QStringLiteral("attached_pic")});
    for (const auto& [key, value] : metadataEntries(in.tags))
        command.addOutputOption({QStringLiteral("-metadata"), key + u'=' + value});
}

#include "engine/ConversionMethod.h"

#include "foundation/MakeString.h"

int calculateConversionMethod(const QString& codec, bool audioIsSurround,
                              const ConversionSettings& s)
{
    // AAC plays everywhere as it is, whatever the style.
    if (codec == QLatin1String("aac"))
        return MethodCopy;
    const bool known = codec == QLatin1String("ac3") || codec == QLatin1String("dts") ||
                       codec == QLatin1String("mp3");
    if (s.conversionPreset == 2) {
        if (!known)
            return int(s.customValue(QStringLiteral("CustomUnknownHandling")));
        const QString key = makeString("Custom%@%@Handling", codec.toUpper(),
                                       audioIsSurround ? QStringLiteral("51") : QString());
        return int(s.customValue(key));
    }
    if (s.conversionPreset == 0)
        return MethodAACViaWAV;
    if (codec == QLatin1String("ac3")) {
        if (!audioIsSurround)
            return MethodCopy;
        return s.ac3Downmix != 0 ? MethodAC3Stereo : MethodCopy;
    }
    if (codec == QLatin1String("dts")) {
        if (!audioIsSurround)
            return MethodAC3Stereo;
        return s.dtsDownmix != 0 ? MethodAC3Stereo : MethodAC3Surround;
    }
    return MethodAC3Stereo;
}

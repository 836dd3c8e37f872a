#include "inspection/AudioTrackChoice.h"

#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "inspection/Languages.h"

#include <QHash>
#include <limits>

namespace {

constexpr qint64 kNotFound = std::numeric_limits<qint64>::max();

// The ISO 639-2 languages with two codes: terminological to bibliographic.
const QHash<QString, QString>& bibliographicCodes()
{
    static const QHash<QString, QString> codes{
        {"sqi", "alb"}, {"hye", "arm"}, {"eus", "baq"}, {"mya", "bur"}, {"zho", "chi"},
        {"ces", "cze"}, {"nld", "dut"}, {"fra", "fre"}, {"kat", "geo"}, {"deu", "ger"},
        {"ell", "gre"}, {"isl", "ice"}, {"mkd", "mac"}, {"mri", "mao"}, {"msa", "may"},
        {"fas", "per"}, {"ron", "rum"}, {"slk", "slo"}, {"bod", "tib"}, {"cym", "wel"}};
    return codes;
}

} // namespace

QStringList rankingLanguages(const QStringList& preferred, qint64 defaultAudio)
{
    const QStringList& fixed = fixedAudioLanguages();
    // Only 2 to 8 name a fixed language; a stray stored value must not read
    // past the list, so it is treated like 0.
    if (defaultAudio >= 2 && defaultAudio - 2 < fixed.size())
        return {fixed.at(qsizetype(defaultAudio - 2))};
    return preferred;
}

QString comparableLanguage(const QString& language)
{
    const QString code = languageTable().value(language, language);
    return bibliographicCodes().value(code, code);
}

qsizetype languageRank(const QStringList& ranking, const QString& language)
{
    const QString wanted = comparableLanguage(language);
    for (qsizetype i = 0; i < ranking.size(); ++i)
        if (comparableLanguage(ranking.at(i)) == wanted)
            return i;
    return -1;
}

const QStringList& fixedAudioLanguages()
{
    static const QStringList languages{"eng", "ger", "fre", "spa", "chi", "jpn", "rus"};
    return languages;
}

std::optional<int> bestAudioTrack(const QList<AudioTrack>& tracks, const QStringList& preferred,
                                  qint64 defaultAudio)
{
    const QStringList ranking = rankingLanguages(preferred, defaultAudio);
    qint64 bestRank = kNotFound;
    QList<int> candidates;
    for (int i = 0; i < tracks.size(); ++i) {
        const qsizetype found = languageRank(ranking, tracks.at(i).language);
        const qint64 rank = found < 0 ? kNotFound : qint64(found);
        if (rank < bestRank) {
            candidates = {i};
            bestRank = rank;
        } else if (rank == bestRank) {
            candidates.append(i);
        }
    }
    if (candidates.isEmpty())
        return std::nullopt;
    for (const QLatin1String codec : {QLatin1String("aac"), QLatin1String("ac3")}) {
        for (const int candidate : candidates)
            if (tracks.at(candidate).codec == codec)
                return candidate;
    }
    return candidates.first();
}

std::optional<int> bestAudioTrack(const QList<AudioTrack>& tracks, const QStringList& preferred)
{
    return bestAudioTrack(tracks, preferred, defaultInt(QString::fromLatin1(kDefaultAudioKey)));
}

std::optional<QString> bestLanguage(const QStringList& descriptors, const QStringList& preferred,
                                    qint64 defaultAudio)
{
    const auto best =
        bestAudioTrack(audioTracksFromDescriptors(descriptors), preferred, defaultAudio);
    return best ? std::optional<QString>(descriptors.at(*best)) : std::nullopt;
}

std::optional<QString> bestLanguage(const QStringList& descriptors, const QStringList& preferred)
{
    return bestLanguage(descriptors, preferred, defaultInt(QString::fromLatin1(kDefaultAudioKey)));
}

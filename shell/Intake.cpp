#include "shell/Intake.h"

#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "inspection/AudioTrackChoice.h"
#include "inspection/Languages.h"
#include "inspection/SubtitleFileNames.h"
#include "shell/AddPanelTexts.h"
#include "shell/CoverBeside.h"
#include "shell/SubtitlePairing.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

namespace {

// Each movie asked for with its answer, in order.
QList<IntakeResult> paired(const QList<IntakeMovie>& movies, const QList<MKVFileInfoPtr>& infos)
{
    QList<IntakeResult> results;
    for (qsizetype i = 0; i < movies.size() && i < infos.size(); ++i)
        results.append({movies.at(i), infos.at(i)});
    return results;
}

// What the probe answers for a path it refuses to open.
MKVFileInfoPtr refusedInfo(const QString& path, const QString& reason)
{
    auto refused = std::make_shared<MKVFileInfo>();
    refused->setFileURL(QUrl::fromLocalFile(path));
    refused->setFileName(QFileInfo(path).fileName());
    refused->setUnreadableReason(reason);
    return refused;
}

} // namespace

Intake::Intake(QObject* parent) : QObject(parent) {}

QStringList Intake::movieFileTypes()
{
    return kMovieFileTypes;
}

QStringList Intake::openPanelFileTypes()
{
    return movieFileTypes() + textSubtitleExtensions();
}

bool Intake::acceptsAny(const QStringList& paths)
{
    for (const QString& path : paths)
        if (isMovieCandidate(path) && !QFileInfo(path).isDir())
            return true;
    return false;
}

QStringList Intake::openFiles(const QStringList& paths)
{
    const QStringList movies = sortIntakeFiles(paths, m_importSubtitleFiles);
    // Reversed, because the next movie is taken from the end.
    for (auto it = movies.crbegin(); it != movies.crend(); ++it)
        m_importFiles.append(*it);
    if (!movies.isEmpty())
        emit waitingCountChanged();
    return movies;
}

std::optional<IntakeMovie> Intake::nextMovie() const
{
    if (m_importFiles.isEmpty())
        return std::nullopt;
    const QString path = m_importFiles.last();
    return IntakeMovie{path, subtitlesForMovie(path, m_importSubtitleFiles)};
}

void Intake::dropNextMovie()
{
    if (m_importFiles.isEmpty())
        return;
    for (const QString& subtitle :
         subtitlesForMovie(m_importFiles.takeLast(), m_importSubtitleFiles))
        m_importSubtitleFiles.removeAll(subtitle);
    emit waitingCountChanged();
}

void Intake::clear()
{
    m_importSubtitleFiles.clear();
    m_importFiles.clear();
}

void Intake::probe(const QList<IntakeMovie>& movies, MKVFileInfo::Warnings warnings)
{
    ++m_probing;
    // Anything but a regular file could block the tools for ever: such a
    // path is answered at once with the reason, and takes no subtitles.
    QList<MKVFileInfoPtr> refused;
    QList<QUrl> urls;
    QList<IntakeMovie> probed;
    for (const IntakeMovie& movie : movies) {
        const QString reason = notAMovieFileReason(movie.path);
        refused.append(reason.isEmpty() ? nullptr : refusedInfo(movie.path, reason));
        if (reason.isEmpty()) {
            urls.append(QUrl::fromLocalFile(movie.path));
            probed.append(movie);
        }
    }
    QPointer<Intake> self(this);
    if (urls.isEmpty()) {
        handBackVia(this, self, paired(movies, refused));
        return;
    }
    const bool besideMovie = defaultInt(kAddSubtitleFilesBesideMovieKey) != 0;
    const QStringList languages =
        rankingLanguages(preferredLanguages3Letter(), defaultInt(kDefaultAudioKey));
    // The probe blocks while the tools run, so it runs on the pool; the
    // result comes back through the application object, which outlives the
    // intake, and is dropped when the intake is gone.
    QObject* mainThreadObject = QCoreApplication::instance();
    QThreadPool::globalInstance()->start(
        [self, movies, refused, urls, probed, warnings, besideMovie, languages, mainThreadObject] {
            // Several movies in one run of the tools: every start of ffmpeg
            // costs a good part of a second.
            const QList<MKVFileInfoPtr> answers = MKVFileInfo::initWithURLs(urls, warnings);
            for (qsizetype i = 0; i < answers.size() && i < probed.size(); ++i)
                if (answers.at(i)) {
                    attachSubtitleFiles(*answers.at(i), probed.at(i).path, probed.at(i).subtitles,
                                        besideMovie, languages);
                    attachCoverBeside(*answers.at(i), probed.at(i).path);
                }
            QList<MKVFileInfoPtr> infos = refused;
            qsizetype next = 0;
            for (MKVFileInfoPtr& info : infos)
                if (!info && next < answers.size())
                    info = answers.at(next++);
            handBackVia(mainThreadObject, self, paired(movies, infos));
        });
}

void Intake::handBackVia(QObject* mainThreadObject, const QPointer<Intake>& self,
                         const QList<IntakeResult>& results)
{
    QMetaObject::invokeMethod(
        mainThreadObject,
        [self, results] {
            if (self)
                self->handBack(results);
        },
        Qt::QueuedConnection);
}

void Intake::handBack(const QList<IntakeResult>& results)
{
    --m_probing;
    emit probed(results);
}

#include "shell/Intake.h"

#include "shell/AddPanelTexts.h"
#include "shell/SubtitlePairing.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

namespace {

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
    return movieFileTypes() + QStringList{"srt", "ass", "ssa", "smi", "sub"};
}

bool Intake::acceptsAny(const QStringList& paths)
{
    for (const QString& path : paths)
        if (isMovieFile(path) && !QFileInfo(path).isDir())
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
    IntakeMovie movie{m_importFiles.last(), std::nullopt};
    const QString key = subtitleKeyForMovie(movie.path);
    if (m_importSubtitleFiles.contains(key))
        movie.subtitle = m_importSubtitleFiles.value(key);
    return movie;
}

void Intake::dropNextMovie()
{
    if (m_importFiles.isEmpty())
        return;
    m_importSubtitleFiles.remove(subtitleKeyForMovie(m_importFiles.takeLast()));
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
    // path is answered at once with the reason.
    QList<MKVFileInfoPtr> refused;
    QList<QUrl> urls;
    // A refused movie gets no subtitle either.
    QList<IntakeMovie> handed = movies;
    for (IntakeMovie& movie : handed) {
        const QString reason = notAMovieFileReason(movie.path);
        refused.append(reason.isEmpty() ? nullptr : refusedInfo(movie.path, reason));
        if (reason.isEmpty())
            urls.append(QUrl::fromLocalFile(movie.path));
        else
            movie.subtitle.reset();
    }
    QPointer<Intake> self(this);
    if (urls.isEmpty()) {
        handBackVia(this, self, refused, handed);
        return;
    }
    // The probe blocks while the tools run, so it runs on the pool; the
    // result comes back through the application object, which outlives the
    // intake, and is dropped when the intake is gone.
    QObject* mainThreadObject = QCoreApplication::instance();
    QThreadPool::globalInstance()->start([self, refused, urls, handed, warnings, mainThreadObject] {
        // Several movies in one run of the tools: every start of ffmpeg
        // costs a good part of a second.
        const QList<MKVFileInfoPtr> probed = MKVFileInfo::initWithURLs(urls, warnings);
        QList<MKVFileInfoPtr> infos = refused;
        qsizetype next = 0;
        for (MKVFileInfoPtr& info : infos)
            if (!info && next < probed.size())
                info = probed.at(next++);
        handBackVia(mainThreadObject, self, infos, handed);
    });
}

void Intake::handBackVia(QObject* mainThreadObject, const QPointer<Intake>& self,
                         const QList<MKVFileInfoPtr>& infos, const QList<IntakeMovie>& movies)
{
    QMetaObject::invokeMethod(
        mainThreadObject,
        [self, infos, movies] {
            if (self)
                self->handBack(infos, movies);
        },
        Qt::QueuedConnection);
}

void Intake::handBack(const QList<MKVFileInfoPtr>& infos, const QList<IntakeMovie>& movies)
{
    --m_probing;
    for (qsizetype i = 0; i < infos.size() && i < movies.size(); ++i) {
        const MKVFileInfoPtr& info = infos.at(i);
        const std::optional<QString>& subtitle = movies.at(i).subtitle;
        // A subtitle found beside the movie counts as one more track.
        if (info && subtitle) {
            info->setSubtitleFileURL(QUrl::fromLocalFile(*subtitle));
            info->setInformationString(
                QString(info->informationString()).replace(u')', QStringLiteral("+1)")));
        }
    }
    emit probed(infos);
}

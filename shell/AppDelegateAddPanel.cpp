// File intake, the add panel and the saved destinations of AppDelegate.

#include "engine/ConversionJob.h"
#include "engine/ConversionSettings.h"
#include "engine/FailureExplanation.h"
#include "engine/KeptTracks.h"
#include "engine/RawNameLinks.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/PathHelpers.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "inspection/AudioTrackChoice.h"
#include "shell/AddPanelTexts.h"
#include "shell/AppDelegate.h"
#include "shell/FolderBookmarks.h"
#include "shell/OutputName.h"
#include "shell/SubtitlePairing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>

namespace {

QStringList savedDestinationNames()
{
    return defaultStringList(kDestinationNamesKey);
}

// The folders of the saved destinations, shown as the items' tool tips.
QStringList savedDestinationFolders()
{
    QStringList folders;
    for (const QByteArray& bookmark : defaultDataList(kDestinationBookmarksKey))
        folders.append(QString::fromUtf8(bookmark));
    return folders;
}

QVariantList toVariantList(const QList<QByteArray>& list)
{
    QVariantList out;
    for (const QByteArray& item : list)
        out.append(item);
    return out;
}

QVariantList toVariantList(const QStringList& list)
{
    QVariantList out;
    for (const QString& item : list)
        out.append(item);
    return out;
}

} // namespace

// ---- File intake ----

QStringList AppDelegate::movieFileTypes()
{
    return kMovieFileTypes;
}

QStringList AppDelegate::openPanelFileTypes()
{
    return movieFileTypes() + QStringList{"srt", "ass", "ssa", "smi", "sub"};
}

void AppDelegate::openFiles(const QStringList& paths)
{
    // A movie being probed or shown stays until it is confirmed or
    // cancelled: new movies wait behind it.
    const bool wasIdle = m_importFiles.isEmpty() && !m_addPanelShown;
    const QStringList movies = sortIntakeFiles(paths, m_importSubtitleFiles);
    // Reversed, because addNextFile takes from the end: the movies of one
    // call are probed in the order given.
    for (auto it = movies.crbegin(); it != movies.crend(); ++it)
        m_importFiles.append(*it);
    if (!movies.isEmpty())
        emit waitingCountChanged();
    if (wasIdle)
        addNextFile();
}

QString AppDelegate::waitingText() const
{
    return waitingMoviesText(m_importFiles.size());
}

void AppDelegate::addNextFile()
{
    if (m_importFiles.isEmpty())
        return;
    const QString movie = m_importFiles.last();
    const QString key = subtitleKeyForMovie(movie);
    std::optional<QString> subtitle;
    if (m_importSubtitleFiles.contains(key))
        subtitle = m_importSubtitleFiles.value(key);
    m_currentMoviePath = movie;
    setAddPanelShown(true);
    setIsScanning(true);
    m_importFiles.removeLast();
    m_importSubtitleFiles.remove(key);
    emit waitingCountChanged();

    // Anything but a regular file could block the tools for ever: it is
    // not probed, and the panel says why.
    if (const QString reason = notAMovieFileReason(movie); !reason.isEmpty()) {
        auto refused = std::make_shared<MKVFileInfo>();
        refused->setFileURL(QUrl::fromLocalFile(movie));
        refused->setFileName(QFileInfo(movie).fileName());
        refused->setUnreadableReason(reason);
        QPointer<AppDelegate> self(this);
        QMetaObject::invokeMethod(
            this,
            [self, refused] {
                if (self)
                    self->probeFinished(refused, std::nullopt);
            },
            Qt::QueuedConnection);
        return;
    }

    // The probe blocks while the tools run, so it runs on the pool; the
    // result is handed back through the application object, which outlives
    // this delegate, and dropped when the delegate is gone.
    QPointer<AppDelegate> self(this);
    QObject* mainThreadObject = QCoreApplication::instance();
    QThreadPool::globalInstance()->start([self, movie, subtitle, mainThreadObject] {
        const MKVFileInfoPtr info = MKVFileInfo::initWithURL(QUrl::fromLocalFile(movie));
        QMetaObject::invokeMethod(
            mainThreadObject,
            [self, info, subtitle] {
                if (self)
                    self->probeFinished(info, subtitle);
            },
            Qt::QueuedConnection);
    });
}

void AppDelegate::probeFinished(const MKVFileInfoPtr& info, const std::optional<QString>& subtitle)
{
    if (info && subtitle) {
        info->setSubtitleFileURL(QUrl::fromLocalFile(*subtitle));
        QString summary = info->informationString();
        info->setInformationString(summary.replace(QStringLiteral(")"), QStringLiteral("+1)")));
    }
    setFileInfo(info);
    int audioIndex = -1;
    if (info) {
        if (const auto best = bestLanguage(info->audioTrackInformation(), m_preferredLanguages))
            audioIndex = int(info->audioTrackInformation().indexOf(*best));
        if (audioIndex < 0 && !info->audioTrackInformation().isEmpty())
            audioIndex = 0;
    }
    setSelectedAudioIndex(audioIndex);
    setIsScanning(false);
    rebuildDestinationPopUp();
    if (defaultInt(kAutoAddKey) == 0)
        return;
    // A movie that cannot be queued is skipped, so automatic adding never
    // stops at it.
    if (canAddToQueue())
        addToQueue();
    else
        cancelAdd();
}

bool AppDelegate::draggingEntered(const QStringList& paths) const
{
    // Folders are refused even when named like a movie (Folder.mkv).
    for (const QString& path : paths)
        if (isMovieFile(path) && !QFileInfo(path).isDir())
            return true;
    return false;
}

bool AppDelegate::performDragOperation(const QStringList& paths)
{
    openFiles(paths);
    return true;
}

void AppDelegate::setIsScanning(bool scanning)
{
    if (scanning == m_isScanning)
        return;
    m_isScanning = scanning;
    emit isScanningChanged(scanning);
    updateAddPanelNotice();
}

void AppDelegate::setAddPanelShown(bool shown)
{
    if (shown == m_addPanelShown)
        return;
    m_addPanelShown = shown;
    emit addPanelShownChanged(shown);
}

void AppDelegate::setFileInfo(const MKVFileInfoPtr& info)
{
    m_fileInfo = info;
    emit fileInfoChanged();
    updateAddPanelNotice();
}

// ---- Add panel ----

QStringList AppDelegate::audioItems() const
{
    if (!m_fileInfo)
        return {};
    // A movie without sound converts to its video alone; the pop-up says so.
    if (m_fileInfo->audioTrackInformation().isEmpty() && m_fileInfo->videoTrackID())
        return {kNoAudioItem};
    return m_fileInfo->audioTrackInformation();
}

void AppDelegate::setSelectedAudioIndex(int index)
{
    if (index == m_selectedAudioIndex)
        return;
    m_selectedAudioIndex = index;
    emit selectedAudioIndexChanged(index);
}

bool AppDelegate::canAddToQueue() const
{
    return !m_isScanning && m_fileInfo && addPanelNoticeFor(*m_fileInfo).isEmpty();
}

QString AppDelegate::addPanelNotice() const
{
    if (m_isScanning || !m_fileInfo)
        return {};
    return addPanelNoticeFor(*m_fileInfo);
}

QString AppDelegate::keptTracksText() const
{
    if (m_isScanning || !m_fileInfo || !canAddToQueue())
        return {};
    const ConversionSettings settings = ConversionSettings::fromStore();
    const ConversionInputs in =
        movieTrackInputs(*m_fileInfo, std::max(0, m_selectedAudioIndex), m_preferredLanguages);
    return ::keptTracksText(furtherAudioTracks(in, settings), settings.keepLanguageAudio != 0,
                            keptSubtitleLanguages(in, settings));
}

void AppDelegate::updateAddPanelNotice()
{
    const QString notice = addPanelNotice();
    if (notice == m_lastNotice)
        return;
    m_lastNotice = notice;
    emit addPanelNoticeChanged();
}

QString AppDelegate::outputName() const
{
    if (!m_fileInfo)
        return {};
    return outputFileName(m_fileInfo->fileName(), defaultInt(kDefaultExtensionKey));
}

ConversionJob* AppDelegate::makeJobForShownMovie() const
{
    if (!canAddToQueue())
        return nullptr;
    auto* job = new ConversionJob;
    job->setFileInfo(m_fileInfo);
    const qsizetype tracks = m_fileInfo->audioTrackInformation().size();
    const int index =
        m_selectedAudioIndex >= 0 && m_selectedAudioIndex < tracks ? m_selectedAudioIndex : 0;
    job->setAudioTrackIndex(qulonglong(index));
    job->presetSpeedInfo();
    return job;
}

void AppDelegate::addToQueue()
{
    std::unique_ptr<ConversionJob> job(makeJobForShownMovie());
    if (!job)
        return;
    const QString name = outputName();
    const QList<QByteArray> bookmarks = defaultDataList(kDestinationBookmarksKey);
    if (const auto saved = savedDestinationAt(m_destinationPopUpIndex, bookmarks.size())) {
        // A folder gone since launch resolves to nothing: the destination
        // stays empty and addJob refuses the job with its alert.
        QString destination;
        if (const auto folder = resolveBookmark(bookmarks.at(*saved))) {
            if (startAccessingFolder(*folder))
                m_fileInfo->setSecurityURL(QUrl::fromLocalFile(*folder));
            destination = uniqueDestination(*folder, name, queuedDestinations());
        }
        m_fileInfo->setDestinationURL(destination.isEmpty() ? QUrl()
                                                            : QUrl::fromLocalFile(destination));
        handOver(job.release());
        return;
    }
    // The ask item, and also a separator or the choose item left selected
    // after a cancelled folder dialog: ask for the location.
    m_pendingJob = std::move(job);
    // The real movie's folder, not the one of our link to a movie whose
    // name is not UTF-8.
    const QString startFolder = RawNameLinks::realFolder(m_fileInfo->fileURL().toLocalFile());
    emit saveLocationRequested(startFolder, name, pathExtension(name));
}

void AppDelegate::confirmSaveLocation(const QString& path)
{
    if (!m_pendingJob || path.isEmpty())
        return;
    std::unique_ptr<ConversionJob> job = std::move(m_pendingJob);
    const QString chosen = QFileInfo(path).absoluteFilePath();
    const QString source = job->sourcePath();
    const QString clean = QDir::cleanPath(chosen);
    bool conflict = !source.isEmpty() && QFileInfo(source).absoluteFilePath() == clean;
    for (const QString& queued : queuedDestinations())
        if (QDir::cleanPath(queued) == clean)
            conflict = true;
    if (conflict) {
        refuseLocation(job.release());
        return;
    }
    // The user agreed to replace what is there. Only a file goes: a folder
    // stays and addJob refuses the location.
    if (!QFileInfo(chosen).isDir())
        QFile::remove(chosen);
    job->fileInfo()->setDestinationURL(QUrl::fromLocalFile(chosen));
    handOver(job.release());
}

void AppDelegate::cancelSaveLocation()
{
    m_pendingJob.reset();
}

void AppDelegate::handOver(ConversionJob* job)
{
    const MKVFileInfoPtr info = job->fileInfo();
    if (!addJob(job) && info && info->securityURL()) {
        stopAccessingFolder(info->securityURL()->toLocalFile());
        info->setSecurityURL(std::nullopt);
    }
}

void AppDelegate::refuseLocation(ConversionJob* job)
{
    cancelAdd();
    alertPresenter().activateApplication();
    alert(AlertKind::Warning, appInfo().appName(), destinationNotWritableText(),
          QStringLiteral("OK"));
    delete job;
}

void AppDelegate::cancelAdd()
{
    if (m_cancelAdd) {
        m_cancelAdd();
        return;
    }
    m_pendingJob.reset();
    if (!m_importFiles.isEmpty())
        addNextFile();
    else
        setAddPanelShown(false);
}

// ---- Destinations ----

void AppDelegate::setDestinationPopUp(const QList<PopUpItem>& items, int index)
{
    if (items == m_destinationPopUpItems && index == m_destinationPopUpIndex)
        return;
    m_destinationPopUpItems = items;
    m_destinationPopUpIndex = index;
    emit destinationPopUpChanged();
}

void AppDelegate::setPreferencesDestinationPopUp(const QList<PopUpItem>& items, int index)
{
    if (items == m_preferencesDestinationPopUpItems && index == m_preferencesDestinationPopUpIndex)
        return;
    m_preferencesDestinationPopUpItems = items;
    m_preferencesDestinationPopUpIndex = index;
    emit preferencesDestinationPopUpChanged();
}

void AppDelegate::setDestinationPopUpIndex(int index)
{
    if (index < 0 || index >= m_destinationPopUpItems.size())
        return;
    setDestinationPopUp(m_destinationPopUpItems, index);
}

void AppDelegate::setPreferencesDestinationPopUpIndex(int index)
{
    if (index < 0 || index >= m_preferencesDestinationPopUpItems.size())
        return;
    setPreferencesDestinationPopUp(m_preferencesDestinationPopUpItems, index);
    // Only the ask item and saved destinations are defaults; the trailing
    // items run a command instead.
    if (index == 0 || savedDestinationAt(index, savedDestinationNames().size())) {
        setDefaultInt(kDefaultDestinationKey, index);
        synchronize();
    }
}

void AppDelegate::rebuildDestinationPopUp()
{
    const auto items =
        destinationPopUpLayout(savedDestinationNames(), 1, savedDestinationFolders());
    setDestinationPopUp(items,
                        popUpIndexForDefault(defaultInt(kDefaultDestinationKey), items.size()));
}

void AppDelegate::rebuildPreferencesDestinationPopUp()
{
    const auto items =
        destinationPopUpLayout(savedDestinationNames(), 0, savedDestinationFolders());
    setPreferencesDestinationPopUp(
        items, popUpIndexForDefault(defaultInt(kDefaultDestinationKey), items.size()));
}

void AppDelegate::destinationUpkeepAtLaunch()
{
    const QList<QByteArray> bookmarks = defaultDataList(kDestinationBookmarksKey);
    const QStringList names = savedDestinationNames();
    const SavedDestinations kept = keepUsableDestinations(bookmarks, names, isUsableBookmark);
    if (kept.bookmarks != bookmarks || kept.names != names) {
        setDefaultArray(kDestinationBookmarksKey, toVariantList(kept.bookmarks));
        setDefaultArray(kDestinationNamesKey, toVariantList(kept.names));
    }
    const qint64 current = defaultInt(kDefaultDestinationKey);
    const qint64 corrected = correctedDefaultDestination(current, kept.bookmarks.size());
    if (corrected != current)
        setDefaultInt(kDefaultDestinationKey, corrected);
    rebuildPreferencesDestinationPopUp();
}

void AppDelegate::chooseNewDestination(int tag, const QString& chosenFolder)
{
    if (chosenFolder.isEmpty())
        return;
    QString error;
    const auto bookmark = bookmarkForFolder(chosenFolder, &error);
    if (!bookmark) {
        asl_NSLog(3, "Error creating bookmark: %@", error);
        return;
    }
    QList<QByteArray> bookmarks = defaultDataList(kDestinationBookmarksKey);
    QStringList names = savedDestinationNames();
    // Keep the lists parallel even if the stored ones were not.
    while (names.size() < bookmarks.size())
        names.append(QFileInfo(QString::fromUtf8(bookmarks.at(names.size()))).fileName());
    names = names.mid(0, bookmarks.size());
    bookmarks.append(*bookmark);
    const QString name = QFileInfo(QString::fromUtf8(*bookmark)).fileName();
    names.append(name.isEmpty() ? QString::fromUtf8(*bookmark) : name);
    setDefaultArray(kDestinationBookmarksKey, toVariantList(bookmarks));
    setDefaultArray(kDestinationNamesKey, toVariantList(names));
    synchronize();
    rebuildPreferencesDestinationPopUp();
    if (tag == 0) {
        const int index = int(m_preferencesDestinationPopUpItems.size()) - 3;
        setPreferencesDestinationPopUp(m_preferencesDestinationPopUpItems, index);
        setDefaultInt(kDefaultDestinationKey, index);
        synchronize();
    } else if (tag == 1) {
        rebuildDestinationPopUp();
        setDestinationPopUp(m_destinationPopUpItems, int(m_destinationPopUpItems.size()) - 3);
    }
}

// ---- Preferences ----

void AppDelegate::selectConversionStyle()
{
    qint64 style = defaultInt(kConversionPresetKey);
    if (style < 0 || style > 2)
        style = 0;
    emit conversionStyleChanged(int(style));
}

#include "shell/AddPanelState.h"

#include "engine/ConversionJob.h"
#include "engine/ConversionSettings.h"
#include "engine/JobFactory.h"
#include "engine/KeptTracks.h"
#include "engine/RawNameLinks.h"
#include "engine/SubtitleReading.h"
#include "engine/SubtitleTracks.h"
#include "foundation/PathHelpers.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "inspection/AudioTrackChoice.h"
#include "shell/AddPanelTexts.h"
#include "shell/Destinations.h"
#include "shell/FolderBookmarks.h"
#include "shell/JobQueue.h"
#include "shell/OutputName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

AddPanelState::AddPanelState(JobQueue& queue, const Destinations& destinations, QObject* parent)
    : QObject(parent), m_queue(queue), m_destinations(destinations)
{
}

AddPanelState::~AddPanelState() = default;

void AddPanelState::setAddPanelShown(bool shown)
{
    if (shown == m_addPanelShown)
        return;
    m_addPanelShown = shown;
    emit addPanelShownChanged(shown);
}

void AddPanelState::beginScanning(const QString& moviePath)
{
    m_currentMoviePath = moviePath;
    setAddPanelShown(true);
    setIsScanning(true);
}

void AddPanelState::showProbed(const MKVFileInfoPtr& info)
{
    setFileInfo(info);
    int audioIndex = -1;
    if (info) {
        if (const auto best = bestAudioTrack(info->audioTracks(), m_preferredLanguages))
            audioIndex = *best;
        if (audioIndex < 0 && !info->audioTracks().isEmpty())
            audioIndex = 0;
    }
    setSelectedAudioIndex(audioIndex);
    setIsScanning(false);
}

void AddPanelState::setIsScanning(bool scanning)
{
    if (scanning == m_isScanning)
        return;
    m_isScanning = scanning;
    emit isScanningChanged(scanning);
    updateAddPanelNotice();
}

void AddPanelState::setFileInfo(const MKVFileInfoPtr& info)
{
    m_fileInfo = info;
    m_subtitleChoice.reset();
    emit fileInfoChanged();
    updateAddPanelNotice();
}

QStringList AddPanelState::audioItems() const
{
    if (!m_fileInfo)
        return {};
    // A movie without sound converts to its video alone; the pop-up says so.
    if (m_fileInfo->audioTracks().isEmpty() && m_fileInfo->videoTrackID())
        return {kNoAudioItem};
    return audioItemsWithTitles(m_fileInfo->audioTracks());
}

void AddPanelState::setSelectedAudioIndex(int index)
{
    if (index == m_selectedAudioIndex)
        return;
    m_selectedAudioIndex = index;
    emit selectedAudioIndexChanged(index);
}

bool AddPanelState::canAddToQueue() const
{
    return !m_isScanning && m_fileInfo && addPanelNoticeFor(*m_fileInfo).isEmpty();
}

QString AddPanelState::addPanelNotice() const
{
    if (m_isScanning || !m_fileInfo)
        return {};
    return addPanelNoticeFor(*m_fileInfo);
}

QString AddPanelState::keptTracksText() const
{
    if (m_isScanning || !m_fileInfo || !canAddToQueue())
        return {};
    const ConversionSettings settings = ConversionSettings::fromStore();
    ConversionInputs in =
        movieTrackInputs(*m_fileInfo, std::max(0, m_selectedAudioIndex), m_preferredLanguages);
    // The subtitle files ticked for this movie.
    in.subtitleFiles = chosenSubtitleFiles(in.subtitleFiles, m_subtitleChoice);
    const bool keepingAudio = settings.keepLanguageAudio != 0 || settings.keepAllAudioTracks != 0;
    QString text = writtenTracksText(
        ::keptTracksText(furtherAudioTracks(in, settings), keepingAudio,
                         m_subtitleChoice ? std::nullopt : keptSubtitleLanguages(in, settings)),
        in.subtitleFiles, m_fileInfo->skippedSubtitleFiles(), settings.streamableOutput != 0);
    ConversionInputs chosen = in;
    chosen.chosenSubtitles = m_subtitleChoice;
    for (const QString& note : pictureReadingNotes(chosen, settings))
        text += (text.isEmpty() ? QString() : QStringLiteral(" \u00b7 ")) +
                QCoreApplication::translate("AddPanelTexts", "Note: %1").arg(note);
    return text;
}

QList<AddPanelState::SubtitleItem> AddPanelState::subtitleItems() const
{
    if (m_isScanning || !m_fileInfo)
        return {};
    ConversionInputs in =
        movieTrackInputs(*m_fileInfo, std::max(0, m_selectedAudioIndex), m_preferredLanguages);
    in.chosenSubtitles = m_subtitleChoice;
    QStringList written;
    for (const SubtitleTrack& track : writtenSubtitleTracks(in, ConversionSettings::fromStore()))
        written.append(track.key);
    QList<SubtitleItem> items;
    for (const SubtitleTrack& track : subtitleTracksOf(in))
        items.append({track.key, subtitleTrackText(track), written.contains(track.key)});
    return items;
}

void AddPanelState::setSubtitleChecked(const QString& key, bool checked)
{
    QStringList keys;
    for (const SubtitleItem& item : subtitleItems())
        if (item.key == key ? checked : item.checked)
            keys.append(item.key);
    m_subtitleChoice = keys;
}

void AddPanelState::updateAddPanelNotice()
{
    const QString notice = addPanelNotice();
    if (notice == m_lastNotice)
        return;
    m_lastNotice = notice;
    emit addPanelNoticeChanged();
}

QString AddPanelState::outputName() const
{
    if (!m_fileInfo)
        return {};
    return outputFileName(m_fileInfo->fileName(), defaultInt(kDefaultExtensionKey));
}

void AddPanelState::setAddButtonTitle(const QString& title)
{
    if (title != m_addButtonTitle) {
        m_addButtonTitle = title;
        emit addButtonTitleChanged(title);
    }
}

ConversionJob* AddPanelState::makeJobForShownMovie() const
{
    if (!canAddToQueue())
        return nullptr;
    return makeConversionJob({m_fileInfo, m_selectedAudioIndex, m_subtitleChoice, std::nullopt});
}

void AddPanelState::addToQueue()
{
    std::unique_ptr<ConversionJob> job(makeJobForShownMovie());
    if (!job)
        return;
    const QString name = outputName();
    if (const auto folder = m_destinations.selectedFolder()) {
        // A folder gone since launch resolves to nothing: the destination
        // stays empty and addJob refuses the job with its alert.
        QString destination;
        if (!folder->isEmpty()) {
            if (startAccessingFolder(*folder))
                m_fileInfo->setSecurityURL(QUrl::fromLocalFile(*folder));
            destination = uniqueDestination(*folder, name, m_queue.queuedDestinations());
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

void AddPanelState::confirmSaveLocation(const QString& path)
{
    if (!m_pendingJob || path.isEmpty())
        return;
    std::unique_ptr<ConversionJob> job = std::move(m_pendingJob);
    const QString chosen = QFileInfo(path).absoluteFilePath();
    const QString source = job->sourcePath();
    const QString clean = QDir::cleanPath(chosen);
    bool conflict = !source.isEmpty() && QFileInfo(source).absoluteFilePath() == clean;
    for (const QString& queued : m_queue.queuedDestinations())
        if (QDir::cleanPath(queued) == clean)
            conflict = true;
    // The movie itself, or the output of a queued job, must not be written.
    if (conflict) {
        m_queue.refuseDestination();
        return;
    }
    // The user agreed to replace what is there. Only a file goes: a folder
    // stays and addJob refuses the location.
    if (!QFileInfo(chosen).isDir())
        QFile::remove(chosen);
    job->fileInfo()->setDestinationURL(QUrl::fromLocalFile(chosen));
    handOver(job.release());
}

void AddPanelState::cancelSaveLocation()
{
    m_pendingJob.reset();
}

void AddPanelState::handOver(ConversionJob* job)
{
    const MKVFileInfoPtr info = job->fileInfo();
    if (!m_queue.addJob(job) && info && info->securityURL()) {
        stopAccessingFolder(info->securityURL()->toLocalFile());
        info->setSecurityURL(std::nullopt);
    }
}

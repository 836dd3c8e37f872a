#include "shell/ui/AddPanel.h"

#include "shell/AddPanelState.h"
#include "shell/AddPanelTexts.h"
#include "shell/AppDelegate.h"
#include "shell/Destinations.h"
#include "shell/ui/CoverThumbnails.h"
#include "shell/ui/DestinationComboBox.h"
#include "shell/ui/ElidedLabel.h"
#include "shell/ui/FileDialogs.h"
#include "shell/ui/SubtitleChooser.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>

AddPanel::AddPanel(AppDelegate& delegate, QWidget* parent) : QFrame(parent), m_delegate(delegate)
{
    setObjectName(QStringLiteral("addPanel"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::AlternateBase);

    m_name = new ElidedLabel(this);
    m_name->setObjectName(QStringLiteral("addPanelName"));
    QFont nameFont = m_name->font();
    nameFont.setBold(true);
    m_name->setFont(nameFont);

    // The movie's cover, where it has one.
    m_cover = new QLabel(this);
    m_cover->setObjectName(QStringLiteral("addPanelCover"));
    m_cover->hide();
    connect(&CoverThumbnails::instance(), &CoverThumbnails::changed, this, &AddPanel::refreshState);

    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_busy = new QProgressBar(this);
    m_busy->setRange(0, 0); // indeterminate while the movie is probed
    m_busy->setTextVisible(false);
    m_busy->setFixedWidth(120);
    m_busy->setMaximumHeight(12);

    m_audio = new QComboBox(this);
    m_audio->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_audio->setMinimumContentsLength(24);
    m_audio->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_destination = new DestinationComboBox(this);

    m_kept = new QLabel(this);
    m_kept->setObjectName(QStringLiteral("addPanelKept"));
    m_kept->setWordWrap(true);
    m_kept->setTextFormat(Qt::PlainText);
    QPalette keptPalette = m_kept->palette();
    keptPalette.setColor(QPalette::WindowText, keptPalette.color(QPalette::PlaceholderText));
    m_kept->setPalette(keptPalette);
    m_kept->hide();

    m_subtitles = new SubtitleChooser(this);

    m_notice = new QLabel(this);
    m_notice->setWordWrap(true);
    QPalette noticePalette = m_notice->palette();
    noticePalette.setColor(QPalette::WindowText, QColor(0xb7, 0x1c, 0x1c));
    m_notice->setPalette(noticePalette);

    m_waiting = new QLabel(this);
    QPalette waitingPalette = m_waiting->palette();
    waitingPalette.setColor(QPalette::WindowText, waitingPalette.color(QPalette::PlaceholderText));
    m_waiting->setPalette(waitingPalette);

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setToolTip(tr("Skip this movie (Esc)"));
    m_confirm = new QPushButton(this);
    m_confirm->setDefault(true);
    m_confirm->setToolTip(tr("Queue this movie (Enter)"));

    auto* top = new QHBoxLayout;
    top->addWidget(m_cover, 0, Qt::AlignVCenter);
    top->addWidget(m_name, 1);
    top->addWidget(m_busy, 0, Qt::AlignVCenter);

    auto* choices = new QGridLayout;
    choices->setHorizontalSpacing(8);
    auto* audioLabel = new QLabel(tr("&Audio track:"), this);
    audioLabel->setBuddy(m_audio);
    auto* destinationLabel = new QLabel(tr("&Destination:"), this);
    destinationLabel->setBuddy(m_destination);
    choices->addWidget(audioLabel, 0, 0);
    choices->addWidget(m_audio, 0, 1);
    choices->addItem(new QSpacerItem(16, 1, QSizePolicy::Fixed), 0, 2);
    choices->addWidget(destinationLabel, 0, 3);
    choices->addWidget(m_destination, 0, 4);
    auto* subtitlesLabel = new QLabel(tr("&Subtitles:"), this);
    subtitlesLabel->setBuddy(m_subtitles);
    choices->addWidget(subtitlesLabel, 1, 0);
    choices->addWidget(m_subtitles, 1, 1, Qt::AlignLeft);
    choices->addWidget(m_kept, 2, 1, 1, 4);
    choices->setColumnStretch(1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_notice, 10);
    bottom->addStretch(1); // keeps the buttons at their size while there is no notice
    bottom->addWidget(m_waiting);
    bottom->addSpacing(8);
    bottom->addWidget(m_cancel);
    bottom->addWidget(m_confirm);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(8);
    layout->addLayout(top);
    layout->addWidget(m_summary);
    layout->addLayout(choices);
    layout->addLayout(bottom);

    m_animation = new QPropertyAnimation(this, "maximumHeight", this);
    m_animation->setDuration(kAnimationMs);
    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animation, &QPropertyAnimation::finished, this, [this] {
        if (!m_open)
            hide();
        else
            setMaximumHeight(QWIDGETSIZE_MAX);
    });

    connect(m_audio, &QComboBox::activated, &m_delegate.addPanelState(),
            &AddPanelState::setSelectedAudioIndex);
    connect(m_destination, &DestinationComboBox::destinationPicked, &m_delegate.destinations(),
            &Destinations::setDestinationPopUpIndex);
    connect(m_destination, &DestinationComboBox::chooseRequested, this, &AddPanel::chooseFolder);
    connect(m_subtitles, &SubtitleChooser::trackToggled, this,
            [this](const QString& key, bool checked) {
                m_delegate.addPanelState().setSubtitleChecked(key, checked);
                refreshKept();
            });
    connect(m_confirm, &QPushButton::clicked, this, &AddPanel::confirm);
    connect(m_cancel, &QPushButton::clicked, &m_delegate, &AppDelegate::cancelAdd);
    // Enter confirms and Escape cancels wherever the focus is in the panel
    // (a push button outside a dialog takes neither on its own).
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(key, this, this, &AddPanel::confirm);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    }
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, &m_delegate, &AppDelegate::cancelAdd);

    connect(&m_delegate, &AppDelegate::fileInfoChanged, this, &AddPanel::refreshMovie);
    connect(&m_delegate.addPanelState(), &AddPanelState::selectedAudioIndexChanged, this,
            &AddPanel::refreshAudio);
    connect(&m_delegate.destinations(), &Destinations::destinationPopUpChanged, this,
            &AddPanel::refreshDestinations);
    connect(&m_delegate, &AppDelegate::isScanningChanged, this, [this](bool scanning) {
        refreshState();
        refreshSubtitles();
        if (!scanning)
            focusChoices();
    });
    connect(&m_delegate.addPanelState(), &AddPanelState::addPanelNoticeChanged, this,
            &AddPanel::refreshState);
    connect(&m_delegate, &AppDelegate::addButtonTitleChanged, this, &AddPanel::refreshState);
    connect(&m_delegate, &AppDelegate::waitingCountChanged, this, &AddPanel::refreshState);
    connect(&m_delegate.addPanelState(), &AddPanelState::addPanelShownChanged, this,
            [this](bool shown) { setOpen(shown, true); });
    connect(&m_delegate.addPanelState(), &AddPanelState::saveLocationRequested, this,
            &AddPanel::askSaveLocation);

    refreshMovie();
    refreshDestinations();
    setOpen(m_delegate.addPanelState().addPanelShown(), false);
}

QComboBox* AddPanel::audioComboBox() const
{
    return m_audio;
}

void AddPanel::setOpen(bool open, bool animated)
{
    if (animated && open == m_open)
        return;
    m_open = open;
    m_animation->stop();
    const int full = sizeHint().height();
    if (!animated) {
        setVisible(open);
        setMaximumHeight(open ? QWIDGETSIZE_MAX : 0);
        return;
    }
    const int from = isVisible() ? std::min(height(), full) : 0;
    setMaximumHeight(from);
    show();
    m_animation->setStartValue(from);
    m_animation->setEndValue(open ? full : 0);
    m_animation->start();
}

void AddPanel::refreshMovie()
{
    refreshAudio();
    refreshState();
}

void AddPanel::focusChoices()
{
    // The user picks the audio track first; a movie that cannot be queued
    // leaves only Cancel.
    if (m_delegate.isScanning() || !m_delegate.fileInfo() || !isVisible())
        return;
    if (m_delegate.addPanelState().canAddToQueue())
        m_audio->setFocus(Qt::OtherFocusReason);
    else
        m_cancel->setFocus(Qt::OtherFocusReason);
}

void AddPanel::confirm()
{
    if (m_delegate.addPanelState().canAddToQueue())
        m_delegate.addToQueue();
}

void AddPanel::refreshAudio()
{
    const QSignalBlocker blocker(m_audio);
    QStringList items = m_delegate.addPanelState().audioItems();
    const bool silent = items == QStringList{kNoAudioItem};
    if (silent)
        items = QStringList{addPanelText(kNoAudioItem)};
    bool same = m_audio->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i)
        same = m_audio->itemText(i) == items.at(i);
    if (!same) {
        m_audio->clear();
        m_audio->addItems(items);
    }
    m_audio->setCurrentIndex(silent ? 0 : m_delegate.addPanelState().selectedAudioIndex());
    m_audio->setEnabled(!items.isEmpty() && !silent);
    refreshKept();
    // Not on a tick of its own: the menu's actions live while it is open.
    refreshSubtitles();
}

void AddPanel::refreshKept()
{
    // Depends on the selected track and on settings the preferences window
    // may have changed meanwhile, so it is asked anew at every refresh.
    m_kept->setText(m_delegate.addPanelState().keptTracksText());
    m_kept->setVisible(!m_kept->text().isEmpty());
}

void AddPanel::refreshSubtitles()
{
    m_subtitles->setItems(m_delegate.addPanelState().subtitleItems());
}

void AddPanel::refreshDestinations()
{
    m_destination->setItems(m_delegate.destinations().destinationPopUpItems(),
                            m_delegate.destinations().destinationPopUpIndex());
}

void AddPanel::refreshState()
{
    const bool scanning = m_delegate.isScanning();
    m_busy->setVisible(scanning);
    const MKVFileInfoPtr info = m_delegate.fileInfo();
    const QString path = m_delegate.addPanelState().currentMoviePath();
    m_name->setFullText(QFileInfo(path).fileName());
    m_name->setToolTip(path);
    m_summary->setText(scanning ? tr("Reading the movie…")
                                : (info ? summaryWithNote(*info) : QString()));
    m_summary->setVisible(!m_summary->text().isEmpty());
    const QPixmap cover =
        info && !scanning ? CoverThumbnails::instance().thumbnail(*info, 48) : QPixmap();
    m_cover->setPixmap(cover);
    m_cover->setVisible(!cover.isNull());
    m_waiting->setText(waitingMoviesText(m_delegate.waitingCount()));
    m_waiting->setVisible(!m_waiting->text().isEmpty());
    // The delegate names the button in English; its two names are
    // translated here.
    [[maybe_unused]] static const char* const kTitles[] = {QT_TR_NOOP("Start Conversion"),
                                                           QT_TR_NOOP("Add to Queue")};
    m_confirm->setText(tr(m_delegate.addButtonTitle().toUtf8().constData()));
    m_confirm->setEnabled(m_delegate.addPanelState().canAddToQueue());
    m_notice->setText(m_delegate.addPanelState().addPanelNotice());
    m_notice->setVisible(!m_notice->text().isEmpty());
    refreshKept();
}

void AddPanel::chooseFolder()
{
    FileDialogs::chooseFolder(window(), tr("Choose a Destination Folder"),
                              [this, guard = QPointer<AddPanel>(this)](const QString& folder) {
                                  if (!guard)
                                      return;
                                  m_delegate.chooseNewDestination(1, folder);
                                  // A cancelled dialog leaves the previous choice shown.
                                  refreshDestinations();
                              });
}

void AddPanel::askSaveLocation(const QString& startFolder, const QString& proposedName,
                               const QString& extension)
{
    FileDialogs::saveLocation(
        window(), startFolder, proposedName, extension,
        [this, guard = QPointer<AddPanel>(this)](std::optional<QString> path) {
            if (!guard)
                return;
            if (path)
                m_delegate.addPanelState().confirmSaveLocation(*path);
            else
                m_delegate.addPanelState().cancelSaveLocation();
        });
}

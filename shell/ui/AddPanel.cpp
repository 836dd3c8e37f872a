#include "shell/ui/AddPanel.h"

#include "shell/AppDelegate.h"
#include "shell/ui/DestinationComboBox.h"
#include "shell/ui/FileDialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSignalBlocker>

AddPanel::AddPanel(AppDelegate& delegate, QWidget* parent) : QFrame(parent), m_delegate(delegate)
{
    setObjectName(QStringLiteral("addPanel"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::AlternateBase);

    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont summaryFont = m_summary->font();
    summaryFont.setBold(true);
    m_summary->setFont(summaryFont);

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

    m_notice = new QLabel(this);
    m_notice->setWordWrap(true);
    QPalette noticePalette = m_notice->palette();
    noticePalette.setColor(QPalette::WindowText, QColor(0xb7, 0x1c, 0x1c));
    m_notice->setPalette(noticePalette);

    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_confirm = new QPushButton(this);
    m_confirm->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(m_busy, 0, Qt::AlignVCenter);

    auto* choices = new QGridLayout;
    choices->setHorizontalSpacing(8);
    auto* audioLabel = new QLabel(QStringLiteral("Audio track:"), this);
    audioLabel->setBuddy(m_audio);
    auto* destinationLabel = new QLabel(QStringLiteral("Destination:"), this);
    destinationLabel->setBuddy(m_destination);
    choices->addWidget(audioLabel, 0, 0);
    choices->addWidget(m_audio, 0, 1);
    choices->addItem(new QSpacerItem(16, 1, QSizePolicy::Fixed), 0, 2);
    choices->addWidget(destinationLabel, 0, 3);
    choices->addWidget(m_destination, 0, 4);
    choices->setColumnStretch(1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_notice, 10);
    bottom->addStretch(1); // keeps the buttons at their size while there is no notice
    bottom->addWidget(m_cancel);
    bottom->addWidget(m_confirm);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(8);
    layout->addLayout(top);
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

    connect(m_audio, &QComboBox::activated, &m_delegate, &AppDelegate::setSelectedAudioIndex);
    connect(m_destination, &DestinationComboBox::destinationPicked, &m_delegate,
            &AppDelegate::setDestinationPopUpIndex);
    connect(m_destination, &DestinationComboBox::chooseRequested, this, &AddPanel::chooseFolder);
    connect(m_confirm, &QPushButton::clicked, &m_delegate, &AppDelegate::addToQueue);
    connect(m_cancel, &QPushButton::clicked, &m_delegate, &AppDelegate::cancelAdd);

    connect(&m_delegate, &AppDelegate::fileInfoChanged, this, &AddPanel::refreshMovie);
    connect(&m_delegate, &AppDelegate::selectedAudioIndexChanged, this, &AddPanel::refreshAudio);
    connect(&m_delegate, &AppDelegate::destinationPopUpChanged, this,
            &AddPanel::refreshDestinations);
    connect(&m_delegate, &AppDelegate::isScanningChanged, this, &AddPanel::refreshState);
    connect(&m_delegate, &AppDelegate::addPanelNoticeChanged, this, &AddPanel::refreshState);
    connect(&m_delegate, &AppDelegate::addButtonTitleChanged, this, &AddPanel::refreshState);
    connect(&m_delegate, &AppDelegate::addPanelShownChanged, this,
            [this](bool shown) { setOpen(shown, true); });
    connect(&m_delegate, &AppDelegate::saveLocationRequested, this, &AddPanel::askSaveLocation);

    refreshMovie();
    refreshDestinations();
    setOpen(m_delegate.addPanelShown(), false);
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
    const MKVFileInfoPtr info = m_delegate.fileInfo();
    m_summary->setToolTip(info ? info->fileURL().toLocalFile() : QString());
    refreshAudio();
    refreshState();
}

void AddPanel::refreshAudio()
{
    const QSignalBlocker blocker(m_audio);
    const QStringList items = m_delegate.audioItems();
    bool same = m_audio->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i)
        same = m_audio->itemText(i) == items.at(i);
    if (!same) {
        m_audio->clear();
        m_audio->addItems(items);
    }
    m_audio->setCurrentIndex(m_delegate.selectedAudioIndex());
    m_audio->setEnabled(!items.isEmpty());
}

void AddPanel::refreshDestinations()
{
    m_destination->setItems(m_delegate.destinationPopUpItems(), m_delegate.destinationPopUpIndex());
}

void AddPanel::refreshState()
{
    const bool scanning = m_delegate.isScanning();
    m_busy->setVisible(scanning);
    const MKVFileInfoPtr info = m_delegate.fileInfo();
    m_summary->setText(scanning ? QStringLiteral("Reading the movie\u2026")
                                : (info ? info->informationString() : QString()));
    m_confirm->setText(m_delegate.addButtonTitle());
    m_confirm->setEnabled(m_delegate.canAddToQueue());
    m_notice->setText(m_delegate.addPanelNotice());
    m_notice->setVisible(!m_notice->text().isEmpty());
}

void AddPanel::chooseFolder()
{
    FileDialogs::chooseFolder(window(), QStringLiteral("Choose a Destination Folder"),
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
                m_delegate.confirmSaveLocation(*path);
            else
                m_delegate.cancelSaveLocation();
        });
}

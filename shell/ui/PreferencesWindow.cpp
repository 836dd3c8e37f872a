#include "shell/ui/PreferencesWindow.h"

#include "engine/ConversionSettings.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"
#include "shell/Destinations.h"
#include "shell/ui/CloseKeys.h"
#include "shell/ui/DestinationComboBox.h"
#include "shell/ui/FileDialogs.h"
#include "shell/ui/SettingsBinding.h"
#include "shell/ui/WindowGeometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QComboBox* comboWith(QWidget* parent, const QStringList& items)
{
    auto* combo = new QComboBox(parent);
    combo->addItems(items);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

QCheckBox* checkBox(QWidget* parent, const QString& text, const char* key)
{
    auto* box = new QCheckBox(text, parent);
    SettingsBinding::bindCheckBox(box, key);
    return box;
}

QFormLayout* formLayout(QWidget* parent)
{
    auto* form = new QFormLayout(parent);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    return form;
}

// The ExtraLanguages field: shows the stored text, writes it as it is typed.
QLineEdit* extraLanguagesEdit(QWidget* parent)
{
    const QString name = QString::fromLatin1(kExtraLanguagesKey);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setText(extraLanguagesSetting());
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [name](const QString& text) { setDefaultString(name, text.trimmed()); });
    return edit;
}

QLabel* note(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label->setPalette(palette);
    return label;
}

} // namespace

PreferencesWindow::PreferencesWindow(AppDelegate& delegate, QWidget* parent)
    : QWidget(parent, Qt::Window), m_delegate(delegate)
{
    setWindowTitle(tr("Preferences"));
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(makeGeneralPage(), tr("General"));
    m_tabs->addTab(makeAudioPage(), tr("Audio Conversion Settings"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    addCloseKeys(*this);

    connect(&m_delegate, &AppDelegate::conversionStyleChanged, m_styleOptions,
            &QStackedWidget::setCurrentIndex);
    connect(&m_delegate.destinations(), &Destinations::preferencesDestinationPopUpChanged, this,
            &PreferencesWindow::refreshDestinations);
    refreshDestinations();
    m_delegate.selectConversionStyle();
    restoreWindowGeometry(*this, kPreferencesWindowGeometryKey);
}

void PreferencesWindow::hideEvent(QHideEvent* event)
{
    saveWindowGeometry(*this, kPreferencesWindowGeometryKey);
    QWidget::hideEvent(event);
}

QStringList PreferencesWindow::methodTitles()
{
    return {tr("AAC (via WAV, slow)"), tr("AC3 stereo"), tr("AC3 5.1"), tr("Copy")};
}

QList<int> PreferencesWindow::defaultAudioValues()
{
    return {0, 2, 3, 4, 5, 6, 7, 8};
}

void PreferencesWindow::showAudioPage()
{
    m_tabs->setCurrentIndex(1);
}

QWidget* PreferencesWindow::makeGeneralPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);

    auto* output = new QGroupBox(tr("New Movies"), page);
    QFormLayout* outputForm = formLayout(output);
    m_destination = new DestinationComboBox(output);
    connect(m_destination, &DestinationComboBox::destinationPicked, &m_delegate.destinations(),
            &Destinations::setPreferencesDestinationPopUpIndex);
    connect(m_destination, &DestinationComboBox::chooseRequested, this,
            &PreferencesWindow::chooseFolder);
    outputForm->addRow(tr("Default destination:"), m_destination);

    QComboBox* extension = comboWith(output, {QStringLiteral("mp4"), QStringLiteral("m4v")});
    SettingsBinding::bindComboBox(extension, kDefaultExtensionKey);
    outputForm->addRow(tr("File extension:"), extension);

    QComboBox* language =
        comboWith(output, {tr("System languages"), tr("English"), tr("German"), tr("French"),
                           tr("Spanish"), tr("Chinese"), tr("Japanese"), tr("Russian")});
    SettingsBinding::bindComboBox(language, kDefaultAudioKey, defaultAudioValues());
    outputForm->addRow(tr("Preferred audio:"), language);
    outputForm->addRow(QString(),
                       checkBox(output, tr("Add movies to the queue without asking"), kAutoAddKey));
    outputForm->addRow(QString(),
                       checkBox(output,
                                tr("Write files that start playing before they are whole "
                                   "(for media servers and browsers)"),
                                kStreamableOutputKey));
    outputForm->addRow(QString(),
                       checkBox(output,
                                tr("Write cover art and tags for media centres (title, year, "
                                   "show, season and episode)"),
                                kWriteTagsKey));
    layout->addWidget(output);

    auto* after = new QGroupBox(tr("After Conversion"), page);
    QFormLayout* afterForm = formLayout(after);
    afterForm->addRow(checkBox(after, tr("Remove finished movies from the list"), kAutoCleanKey));
    QCheckBox* autoRemove = checkBox(after, tr("Dispose of the original movie:"), kAutoRemoveKey);
    QComboBox* removeType = comboWith(after, {tr("Move to the Trash"), tr("Delete immediately")});
    SettingsBinding::bindComboBox(removeType, kAutoRemoveTypeKey, {0, 1});
    removeType->setEnabled(autoRemove->isChecked());
    connect(autoRemove, &QCheckBox::toggled, removeType, &QWidget::setEnabled);
    afterForm->addRow(autoRemove, removeType);
    afterForm->addRow(
        checkBox(after, tr("Quit when the conversions are done"), kQuitAfterConversionKey));
    layout->addWidget(after);
    layout->addStretch(1);
    return page;
}

QWidget* PreferencesWindow::makeAudioPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);

    auto* styleBox = new QGroupBox(tr("Conversion Style"), page);
    auto* styleLayout = new QVBoxLayout(styleBox);
    QFormLayout* styleForm = formLayout(nullptr);
    m_style = comboWith(styleBox, {tr("Compatible"), tr("High Speed & Quality"), tr("Custom")});
    SettingsBinding::bindComboBox(m_style, kConversionPresetKey);
    connect(m_style, &QComboBox::currentIndexChanged, &m_delegate,
            &AppDelegate::selectConversionStyle);
    styleForm->addRow(tr("Style:"), m_style);
    styleLayout->addLayout(styleForm);

    m_styleOptions = new QStackedWidget(styleBox);
    m_styleOptions->addWidget(makeCompatibleOptions());
    m_styleOptions->addWidget(makeFastOptions());
    m_styleOptions->addWidget(makeCustomOptions());
    styleLayout->addWidget(m_styleOptions);
    layout->addWidget(styleBox);

    auto* rates = new QGroupBox(tr("Bit Rates"), page);
    QFormLayout* ratesForm = formLayout(rates);
    QComboBox* surround =
        comboWith(rates, {QStringLiteral("384 kbit/s"), QStringLiteral("448 kbit/s"),
                          QStringLiteral("512 kbit/s"), QStringLiteral("576 kbit/s")});
    SettingsBinding::bindComboBox(surround, kAC3SurroundBitrateKey);
    ratesForm->addRow(tr("AC3 5.1:"), surround);
    QComboBox* stereo =
        comboWith(rates, {QStringLiteral("160 kbit/s"), QStringLiteral("192 kbit/s"),
                          QStringLiteral("224 kbit/s"), QStringLiteral("256 kbit/s")});
    SettingsBinding::bindComboBox(stereo, kAC3StereoBitrateKey);
    ratesForm->addRow(tr("AC3 stereo:"), stereo);
    QComboBox* aac = comboWith(rates, {QStringLiteral("96 kbit/s"), QStringLiteral("128 kbit/s"),
                                       QStringLiteral("160 kbit/s"), QStringLiteral("192 kbit/s")});
    SettingsBinding::bindComboBox(aac, kAACBitrateKey);
    ratesForm->addRow(tr("AAC:"), aac);
    layout->addWidget(rates);

    layout->addWidget(makeLanguagesBox(page));

    auto* subtitles = new QGroupBox(tr("Subtitles"), page);
    auto* subtitlesLayout = new QVBoxLayout(subtitles);
    QCheckBox* leaveOut = checkBox(subtitles, tr("Leave out the subtitle tracks inside the movie"),
                                   kDisableBuiltinSubtitlesKey);
    subtitlesLayout->addWidget(leaveOut);
    QCheckBox* byLanguage =
        checkBox(subtitles, tr("Keep only those in my languages (and untagged ones)"),
                 kKeepLanguageSubtitlesKey);
    byLanguage->setEnabled(!leaveOut->isChecked());
    connect(leaveOut, &QCheckBox::toggled, byLanguage, &QWidget::setDisabled);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(24);
    indented->addWidget(byLanguage, 1);
    subtitlesLayout->addLayout(indented);
    subtitlesLayout->addWidget(
        checkBox(subtitles, tr("Always keep the forced subtitles in the language of the sound"),
                 kKeepForcedSubtitlesKey));
    subtitlesLayout->addWidget(checkBox(subtitles, tr("Add the subtitle files beside the movie"),
                                        kAddSubtitleFilesBesideMovieKey));
    subtitlesLayout->addWidget(
        note(subtitles, tr("Subtitle files named like the movie (Film.srt, "
                           "Film.en.srt, Film.de.forced.srt) become subtitle tracks "
                           "with the language and kind their names say; those you "
                           "open or drop with the movie are always added. Picture "
                           "subtitles (Blu-ray, DVD, DVB) are read as text.")));
    layout->addWidget(subtitles);
    layout->addStretch(1);
    return page;
}

QWidget* PreferencesWindow::makeLanguagesBox(QWidget* page)
{
    auto* box = new QGroupBox(tr("Languages"), page);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(checkBox(box,
                               tr("Also keep the other audio tracks in my languages (up to 4)"),
                               kKeepLanguageAudioKey));
    layout->addWidget(
        checkBox(box, tr("Keep every audio track of the movie (game recordings, commentaries)"),
                 kKeepAllAudioTracksKey));
    QFormLayout* form = formLayout(nullptr);
    QLineEdit* extra = extraLanguagesEdit(box);
    extra->setPlaceholderText(QStringLiteral("jpn, fr"));
    form->addRow(tr("Further languages:"), extra);
    layout->addLayout(form);
    layout->addWidget(note(box, tr("My languages are the preferred audio language of "
                                   "the General page (or the system's languages), "
                                   "then the further ones, as two- or three-letter "
                                   "codes separated by commas.")));
    return box;
}

QWidget* PreferencesWindow::makeCompatibleOptions()
{
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(note(view, tr("Every audio track that is not AAC becomes AAC: "
                                    "plays everywhere, converts slowly.")));
    QCheckBox* include =
        checkBox(view, tr("Also include the 5.1 surround track as a second audio track"),
                 kIncludeSurroundTrackKey);
    QCheckBox* transcoded = checkBox(view, tr("Convert a DTS surround track to AC3 5.1"),
                                     kIncludeSurroundTrackTranscodedKey);
    QCheckBox* disabled =
        checkBox(view, tr("Mark the surround track as disabled, so players start with AAC"),
                 kIncludeSurroundTrackDisabledKey);
    layout->addWidget(include);
    for (QCheckBox* dependent : {transcoded, disabled}) {
        dependent->setEnabled(include->isChecked());
        connect(include, &QCheckBox::toggled, dependent, &QWidget::setEnabled);
        auto* indented = new QHBoxLayout;
        indented->addSpacing(24);
        indented->addWidget(dependent, 1);
        layout->addLayout(indented);
    }
    layout->addStretch(1);
    return view;
}

QWidget* PreferencesWindow::makeFastOptions()
{
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(note(view, tr("AAC and AC3 are copied, DTS becomes AC3, "
                                    "everything else AC3 stereo: fast and high "
                                    "quality, but some devices play such files "
                                    "without sound.")));
    layout->addWidget(checkBox(view, tr("Downmix AC3 5.1 to stereo"), kAC3DownmixKey));
    layout->addWidget(checkBox(view, tr("Downmix DTS 5.1 to AC3 stereo"), kDTSDownmixKey));
    layout->addStretch(1);
    return view;
}

QWidget* PreferencesWindow::makeCustomOptions()
{
    auto* view = new QWidget;
    QFormLayout* form = formLayout(view);
    form->setContentsMargins(0, 4, 0, 0);
    const struct
    {
        const char* label;
        const char* key;
    } rows[] = {{QT_TR_NOOP("AC3 stereo:"), kCustomAC3HandlingKey},
                {QT_TR_NOOP("AC3 5.1:"), kCustomAC351HandlingKey},
                {QT_TR_NOOP("DTS 5.1:"), kCustomDTS51HandlingKey},
                {QT_TR_NOOP("MP3 stereo:"), kCustomMP3HandlingKey},
                {QT_TR_NOOP("Other formats:"), kCustomUnknownHandlingKey}};
    for (const auto& row : rows) {
        QComboBox* method = comboWith(view, methodTitles());
        method->setObjectName(QString::fromLatin1(row.key));
        SettingsBinding::bindComboBox(method, row.key);
        form->addRow(tr(row.label), method);
    }
    form->addRow(note(view, tr("AAC is always copied as it is.")));
    return view;
}

void PreferencesWindow::refreshDestinations()
{
    m_destination->setItems(m_delegate.destinations().preferencesDestinationPopUpItems(),
                            m_delegate.destinations().preferencesDestinationPopUpIndex());
}

void PreferencesWindow::chooseFolder()
{
    FileDialogs::chooseFolder(
        this, tr("Choose a Destination Folder"),
        [this, guard = QPointer<PreferencesWindow>(this)](const QString& folder) {
            if (!guard)
                return;
            m_delegate.chooseNewDestination(0, folder);
            refreshDestinations();
        });
}

#pragma once

#include <QWidget>

class AppDelegate;
class DestinationComboBox;
class QComboBox;
class QStackedWidget;
class QTabWidget;

// The preferences: one control per setting, each writing its key as soon as
// it changes. The conversion style switches between three option views as
// the delegate says (conversionStyleChanged). Escape, Ctrl+W and its Close
// button close it; its place comes back at the next start.
class PreferencesWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PreferencesWindow)

public:
    explicit PreferencesWindow(AppDelegate& delegate, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    QComboBox* styleComboBox() const { return m_style; }
    QStackedWidget* styleOptions() const { return m_styleOptions; }
    DestinationComboBox* destinationComboBox() const { return m_destination; }
    void showAudioPage();

    // The audio methods of the custom style, in ConversionMethod order.
    static QStringList methodTitles();
    // DefaultAudio values for the language pop-up's items.
    static QList<int> defaultAudioValues();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* makeGeneralPage();
    QWidget* makeAudioPage();
    QWidget* makeLanguagesBox(QWidget* page);
    QWidget* makeCompatibleOptions();
    QWidget* makeFastOptions();
    QWidget* makeCustomOptions();
    void refreshDestinations();
    void chooseFolder();

    AppDelegate& m_delegate;
    QTabWidget* m_tabs = nullptr;
    QComboBox* m_style = nullptr;
    QStackedWidget* m_styleOptions = nullptr;
    DestinationComboBox* m_destination = nullptr;
};

#pragma once

#include <QFrame>

class AppDelegate;
class DestinationComboBox;
class ElidedLabel;
class QComboBox;
class QLabel;
class QProgressBar;
class QPropertyAnimation;
class QPushButton;
class SubtitleChooser;

// The strip at the top of the main window in which the user confirms a
// probed movie: its file name and summary, the audio track, the destination,
// how many movies wait behind it, and the confirm and cancel buttons (Enter
// and Escape). It shows the delegate's data and passes the user's choices
// back; it slides in and out as the delegate says.
class AddPanel final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddPanel)

public:
    explicit AddPanel(AppDelegate& delegate, QWidget* parent = nullptr);

    // Whether the panel is (or is sliding to be) shown.
    bool isOpen() const { return m_open; }
    static constexpr int kAnimationMs = 150;

    ElidedLabel* nameLabel() const { return m_name; }
    QLabel* summaryLabel() const { return m_summary; }
    QComboBox* audioComboBox() const;
    DestinationComboBox* destinationComboBox() const { return m_destination; }
    QPushButton* confirmButton() const { return m_confirm; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* noticeLabel() const { return m_notice; }
    QLabel* waitingLabel() const { return m_waiting; }
    // Under the audio pop-up: what is kept beside it for the user's languages.
    QLabel* keptLabel() const { return m_kept; }
    QProgressBar* busyIndicator() const { return m_busy; }
    // The subtitle tracks to write, each with its check box.
    SubtitleChooser* subtitleChooser() const { return m_subtitles; }

private:
    void setOpen(bool open, bool animated);
    void refreshMovie();
    void refreshAudio();
    void refreshKept();
    void refreshSubtitles();
    void refreshDestinations();
    void refreshState();
    void confirm();
    void focusChoices();
    void chooseFolder();
    void askSaveLocation(const QString& startFolder, const QString& proposedName,
                         const QString& extension);

    AppDelegate& m_delegate;
    ElidedLabel* m_name = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_cover = nullptr;
    QComboBox* m_audio = nullptr;
    DestinationComboBox* m_destination = nullptr;
    QPushButton* m_confirm = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_notice = nullptr;
    QLabel* m_waiting = nullptr;
    QLabel* m_kept = nullptr;
    SubtitleChooser* m_subtitles = nullptr;
    QProgressBar* m_busy = nullptr;
    QPropertyAnimation* m_animation = nullptr;
    bool m_open = false;
};

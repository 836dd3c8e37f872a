#include "common/TestSupport.h"
#include "foundation/AlertPresenter.h"
#include "platform/InstanceSocketName.h"
#include "platform/LauncherEntry.h"
#include "shell/ui/FileDialogs.h"
#include "shell/ui/MessageBoxAlertPresenter.h"
#include "shell/ui/SingleInstance.h"

#include <QAbstractButton>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Answers the next message box by clicking the button with this title
// (and typing into its text field) once the box runs.
void answerWith(const QString& buttonTitle, const QString& typed = {})
{
    MessageBoxAlertPresenter::setBoxHook([buttonTitle, typed](QMessageBox& box) {
        QTimer::singleShot(0, &box, [&box, buttonTitle, typed] {
            if (auto* edit = box.findChild<QLineEdit*>())
                edit->setText(typed);
            for (QAbstractButton* button : box.buttons())
                if (button->text() == buttonTitle)
                    button->click();
        });
    });
}

} // namespace

// Records the launcher entry's Update signals.
class UpdateRecorder final : public QObject
{
    Q_OBJECT

public:
    QStringList uris;
    QList<QVariantMap> updates;

public slots:
    void update(const QString& uri, const QVariantMap& properties)
    {
        uris.append(uri);
        updates.append(properties);
    }
};

TEST(MessageBoxAlertPresenter, ButtonsAnswerOneZeroAndMinusOne)
{
    MessageBoxAlertPresenter presenter;
    AlertRequest request{"Warning", "Something happened.", "Continue", "Cancel", "Help", false, {}};
    answerWith("Continue");
    EXPECT_EQ(presenter.present(request), kAlertDefault);
    answerWith("Cancel");
    EXPECT_EQ(presenter.present(request), kAlertAlternate);
    answerWith("Help");
    EXPECT_EQ(presenter.present(request), kAlertOther);

    AlertRequest input{"Vantreo", "Your name?", "OK", "Cancel", {}, true, "old"};
    answerWith("OK", "typed text");
    EXPECT_EQ(presenter.present(input), kAlertDefault);
    EXPECT_EQ(input.text, "typed text");
    MessageBoxAlertPresenter::setBoxHook({});
}

TEST(SingleInstance, SecondLaunchHandsItsFilesOver)
{
    const QString name = QStringLiteral("vantreo-test-%1").arg(getpid());
    SingleInstance running(name);
    SingleInstance second(name);
    EXPECT_FALSE(second.sendToRunning({"/m/none.mkv"})); // nobody listens yet

    ASSERT_TRUE(running.listen());
    QStringList received;
    bool got = false;
    QObject::connect(&running, &SingleInstance::filesReceived, [&](const QStringList& paths) {
        received = paths;
        got = true;
    });
    EXPECT_TRUE(second.sendToRunning({"/m/A film.mkv", "/m/Über.srt"}));
    ASSERT_TRUE(waitUntil([&] { return got; }, 5000));
    EXPECT_EQ(received, (QStringList{"/m/A film.mkv", "/m/Über.srt"}));
}

TEST(FileDialogs, SaveLocationKeepsTheAllowedExtension)
{
    EXPECT_EQ(FileDialogs::withExtension("/m/Film.mp4", "mp4"), "/m/Film.mp4");
    EXPECT_EQ(FileDialogs::withExtension("/m/Film.MP4", "mp4"), "/m/Film.MP4");
    EXPECT_EQ(FileDialogs::withExtension("/m/Film.mov", "m4v"), "/m/Film.mov.m4v");
    EXPECT_EQ(FileDialogs::withExtension("/m/Film", "m4v"), "/m/Film.m4v");
    EXPECT_EQ(FileDialogs::nameFilter("Movies", {"mkv"}), "Movies (*.mkv *.MKV)");
}

TEST(SingleInstance, OnlyLaunchesOfOneSessionAndDisplayMeet)
{
    const QString runtime = makeTempDir("runtime");
    const QString tmp = makeTempDir("tmp");
    EXPECT_EQ(instanceSocketPath(runtime, tmp, 1000, ":0"),
              runtime + "/org.vantreo.Vantreo-_0.socket");
    EXPECT_EQ(instanceSocketPath(runtime, tmp, 1000, "wayland-1"),
              runtime + "/org.vantreo.Vantreo-wayland-1.socket");
    // Without a usable runtime folder: the temporary folder, named with the
    // user and the display.
    EXPECT_EQ(instanceSocketPath(QString(), tmp, 1000, ":1"), tmp + "/vantreo-1000-_1.socket");
    EXPECT_EQ(instanceSocketPath(runtime + "/gone", tmp, 1000, "localhost:10.0"),
              tmp + "/vantreo-1000-localhost_10.0.socket");
    EXPECT_EQ(instanceSocketPath("relative", tmp, 7, ""), tmp + "/vantreo-7-nodisplay.socket");
    // Two sessions with their own runtime folders never share a socket.
    EXPECT_NE(instanceSocketPath(runtime, tmp, 1000, ":0"),
              instanceSocketPath(makeTempDir("runtime2"), tmp, 1000, ":0"));
}

TEST(LauncherEntry, ProgressAndJobsLeftReachThePrivateSessionBus)
{
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QProcess bus;
    bus.start(daemon, {"--session", "--nofork", "--nopidfile", "--print-address=1"});
    ASSERT_TRUE(bus.waitForStarted(5000));
    ASSERT_TRUE(waitUntil([&] { return bus.canReadLine(); }, 10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    {
        QDBusConnection sender = QDBusConnection::connectToBus(address, "launcher-sender");
        QDBusConnection listener = QDBusConnection::connectToBus(address, "launcher-listener");
        ASSERT_TRUE(sender.isConnected());
        ASSERT_TRUE(listener.isConnected());
        UpdateRecorder recorder;
        ASSERT_TRUE(listener.connect(QString(), QString(), "com.canonical.Unity.LauncherEntry",
                                     "Update", &recorder, SLOT(update(QString, QVariantMap))));
        // The match rule must reach the bus before the signal does.
        QDBusMessage ping = QDBusMessage::createMethodCall(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId");
        listener.call(ping);

        LauncherEntry entry(sender);
        entry.update(0.42, true, 3);
        entry.update(0.42, true, 3); // unchanged: not told again
        entry.update(0, false, 0);
        ASSERT_TRUE(waitUntil([&] { return recorder.updates.size() >= 2; }, 5000));
        QTest::qWait(100);
        ASSERT_EQ(recorder.updates.size(), 2);
        EXPECT_EQ(recorder.uris, (QStringList{"application://org.vantreo.Vantreo.desktop",
                                              "application://org.vantreo.Vantreo.desktop"}));
        const QVariantMap busy = recorder.updates.at(0);
        EXPECT_DOUBLE_EQ(busy.value("progress").toDouble(), 0.42);
        EXPECT_TRUE(busy.value("progress-visible").toBool());
        EXPECT_EQ(busy.value("count").toLongLong(), 3);
        EXPECT_TRUE(busy.value("count-visible").toBool());
        const QVariantMap idle = recorder.updates.at(1);
        EXPECT_FALSE(idle.value("progress-visible").toBool());
        EXPECT_FALSE(idle.value("count-visible").toBool());
    }
    QDBusConnection::disconnectFromBus("launcher-sender");
    QDBusConnection::disconnectFromBus("launcher-listener");
    bus.terminate();
    bus.waitForFinished(5000);
}

#include "DesktopServicesTest.moc"

#include "foundation/RememberedWarnings.h"

#include "ScopedInfoValue.h"
#include "ScriptedAlertPresenter.h"
#include "TestSupport.h"
#include "foundation/Alerts.h"
#include "foundation/Dispatch.h"
#include "foundation/HalvornLib.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsStore.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

class RememberedWarnings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SettingsStore::instance().useFile(makeTempDir("warnings") + "/w.ini");
        version.emplace("CFBundleShortVersionString", QString("1.0"));
        auto scripted = std::make_unique<ScriptedAlertPresenter>();
        presenter = scripted.get();
        setAlertPresenter(std::move(scripted));
    }
    void TearDown() override { version.reset(); }

    static void warn(const QString& message = "Too high")
    {
        alert_dontwarnagain_version("warningtoohighres", "Warning", message, "OK",
                                    "Don't warn again");
    }

    ScriptedAlertPresenter* presenter = nullptr;
    std::optional<ScopedInfoValue> version;
};

// Notes on which thread each alert was shown.
class ThreadNotingPresenter final : public AlertPresenter
{
public:
    std::atomic<int> shown{0};
    std::atomic<int> shownOffMain{0};
    int present(AlertRequest&) override
    {
        if (!isMainThread())
            ++shownOffMain;
        ++shown;
        return kAlertDefault;
    }
};

} // namespace

TEST_F(RememberedWarnings, KeysCarryTheShortVersion)
{
    EXPECT_EQ(dontWarnAgainVersionKey("warningtoohighres"), "_warningtoohighres_1.0_asked");
    EXPECT_EQ(dontWarnAgainEverKey("warningtoohighres"), "_warningtoohighres_asked");
    HalvornLib::overrideInfoValue("CFBundleShortVersionString", QString("2.0"));
    EXPECT_EQ(dontWarnAgainVersionKey("warningtoohighres"), "_warningtoohighres_2.0_asked");
}

TEST_F(RememberedWarnings, DontWarnAgainHoldsUntilTheVersionChanges)
{
    presenter->answers = {0};
    warn("File 100%.mkv is %@ too big %s");
    ASSERT_EQ(presenter->shown.size(), 1);
    const AlertRequest& shown = presenter->shown.at(0);
    EXPECT_EQ(shown.title, "Warning");
    EXPECT_EQ(shown.message, "File 100%.mkv is %@ too big %s");
    EXPECT_EQ(shown.defaultButton, "OK");
    EXPECT_EQ(shown.alternateButton, "Don't warn again");
    EXPECT_TRUE(shown.otherButton.isEmpty());
    EXPECT_EQ(presenter->activations, 1);
    EXPECT_EQ(defaultInt("_warningtoohighres_1.0_asked"), 1);

    warn();
    EXPECT_EQ(presenter->shown.size(), 1);

    HalvornLib::overrideInfoValue("CFBundleShortVersionString", QString("2.0"));
    warn();
    EXPECT_EQ(presenter->shown.size(), 2);
    EXPECT_EQ(defaultInt("_warningtoohighres_2.0_asked"), 0); // answered OK
    warn();
    EXPECT_EQ(presenter->shown.size(), 3);
}

TEST_F(RememberedWarnings, OkShowsItAgainAndEverIgnoresTheVersion)
{
    warn();
    warn();
    EXPECT_EQ(presenter->shown.size(), 2);
    EXPECT_EQ(defaultInt("_warningtoohighres_1.0_asked"), 0);

    presenter->answers = {-1}; // any answer but the default silences
    alert_dontwarnagain_ever("wrongvideowarning", "Warning", "Not H264", "OK", "Don't");
    EXPECT_EQ(defaultInt("_wrongvideowarning_asked"), 1);
    HalvornLib::overrideInfoValue("CFBundleShortVersionString", QString("3.0"));
    alert_dontwarnagain_ever("wrongvideowarning", "Warning", "Not H264", "OK", "Don't");
    EXPECT_EQ(presenter->shown.size(), 3);
}

TEST_F(RememberedWarnings, FromABackgroundThreadItReturnsAtOnceAndShowsOnTheMainThread)
{
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        warn("From the probe");
        returned = true;
    });
    worker.join();
    EXPECT_TRUE(returned.load());
    EXPECT_TRUE(presenter->shown.isEmpty()); // queued, not yet shown
    ASSERT_TRUE(waitUntil([&] { return presenter->shown.size() == 1; }, 10000));
    EXPECT_EQ(presenter->shown.at(0).message, "From the probe");

    auto noting = std::make_unique<ThreadNotingPresenter>();
    ThreadNotingPresenter* raw = noting.get();
    setAlertPresenter(std::move(noting));
    std::thread second([] { warn("Again from the probe"); });
    second.join();
    ASSERT_TRUE(waitUntil([&] { return raw->shown.load() == 1; }, 10000));
    EXPECT_EQ(raw->shownOffMain.load(), 0);
}

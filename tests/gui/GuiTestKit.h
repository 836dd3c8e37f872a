#pragma once

#include "common/JobTestKit.h"

#include <QString>
#include <memory>

class MainWindow;

// A launched delegate with its main window, the recording services of the
// other tests and no welcome alert.
class GuiTestBase : public ConversionTestBase
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A small Matroska movie with one AAC track in dir().
    QString makeMkv(const QString& name, int seconds = 2);

    std::unique_ptr<MainWindow> window;
};

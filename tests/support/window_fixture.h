#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "support/scripted_shell.h"
#include "support/temp_dir.h"

namespace quorvel::testing {

// A real main window on the offscreen platform, with its program folder (QUORVEL_HOME) in a
// fresh temporary folder and every dialog scripted.
class WindowTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        setenv("QUORVEL_HOME", home.path().c_str(), 1);
        openWindow();
    }
    void TearDown() override { closeWindow(); }

    // Creates the window as program start does (the saved options are read now).
    void openWindow()
    {
        window = std::make_unique<MainWindow>(shell, arrays);
        window->show();
        QCoreApplication::processEvents();
    }
    // Closes and destroys the window as the user's close does (state is saved now).
    void closeWindow()
    {
        if (!window)
            return;
        window->close();
        window.reset();
        QCoreApplication::processEvents();
    }

    // Lets the event loop run until the condition holds or the time runs out.
    static bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > timeoutMs)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

    TempDir home;
    ScriptedShell shell;
    ProcessArrays arrays;
    std::unique_ptr<MainWindow> window;
};

} // namespace quorvel::testing

// Helpers for the Win32 tests: the real main window of a program, and driving
// the modal dialogs the code under test opens.
#pragma once
#include "program.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

std::string WindowText(HWND window);
std::string ControlText(HWND window, int id);
std::string StatusText(HWND window);
// A path in the temporary folder, unique to this test process.
std::string TempPath(const std::string& name);
// A standard collection with one book per title.
std::string MakeCollection(const char* name, std::initializer_list<const char*> titles);

// The main window as start-up makes it, without the message loop and as
// though no file were named on the command line.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    LRESULT Send(UINT message, WPARAM wParam) {
        return SendMessageA(program.window, message, wParam, 0);
    }
    Program program;
};

// While it lives, runs its steps one a tick on the dialog boxes this thread
// shows, each dialog first given time to settle, and notes what the first
// dialog showed; a dialog still open when the steps have run out is ended
// after a while, so that no test hangs.
using Step = std::function<void(HWND dialog)>;
class DialogDriver {
  public:
    explicit DialogDriver(std::vector<Step> steps);
    DialogDriver(std::initializer_list<int> buttons); // one button pressed a dialog
    ~DialogDriver();
    size_t stepsRun() const { return next_; }
    std::string title, line2, line3; // the first dialog's title, lines 2 and 3

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<Step> steps_;
    size_t next_ = 0;
    HWND dialog_ = nullptr;
    int ticks_ = 0;
    UINT_PTR timer_;
};
Step Press(int id);

// Helpers for the Win32 tests: the real main window, and answering the modal
// dialogs the code under test opens.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>
#include <string>

// Creates the main window the way the program's start-up does, without the
// message loop, and as though no file were named on the command line (the
// test runner's arguments are not the program's). Returns hMainWnd.
HWND StartMainWindow();
// Destroys the main window, closes the open record file, resets the file
// state and empties the thread's message queue.
void EndMainWindow();
// Dispatches every message waiting for this thread; a WM_QUIT is dropped.
void PumpMessages();

// Answers the next dialog this thread shows by pressing a button, and notes
// what the dialog showed. Create it before the call that opens the dialog.
class DialogAnswerer {
  public:
    explicit DialogAnswerer(int button);
    ~DialogAnswerer();
    bool answered() const;
    std::string title() const;
    // The text of a control of the dialog at the time it was answered.
    std::string text(int controlId) const;
    // Every control's text, one a line.
    std::string allText() const;
};

// A fixture whose tests run with the real main window.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { StartMainWindow(); }
    void TearDown() override { EndMainWindow(); }
};

// Text helpers.
std::string WindowText(HWND window);
std::string StatusText();

// Helpers for the Win32 tests: the real main window of a program, and
// answering the modal dialogs the code under test opens.
#pragma once
#include "program.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <map>
#include <string>

// Dispatches every message waiting for this thread; a WM_QUIT is dropped.
void PumpMessages();
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
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        return SendMessageA(program.window, message, wParam, lParam);
    }
    Program program;
};

// Answers the next dialog this thread shows by pressing a button, and notes
// what the dialog showed. Create it before the call that opens the dialog.
class DialogAnswerer {
  public:
    explicit DialogAnswerer(int button);
    ~DialogAnswerer();
    bool answered() const { return answered_; }
    std::string title() const { return title_; }
    // A control's text when the dialog was answered.
    std::string text(int id) const { return texts_.count(id) ? texts_.at(id) : std::string(); }

  private:
    static void CALLBACK Answer(HWND, UINT, UINT_PTR, DWORD);
    int button_;
    UINT_PTR timer_;
    bool answered_ = false;
    std::string title_;
    std::map<int, std::string> texts_;
};

// Helpers for the Win32 tests: the real main window of a program, and
// answering the modal dialogs the code under test opens.
#pragma once
#include "program.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

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

// Answers the next dialogs this thread shows, one button press each, and
// notes what the first one showed. Create it before the call that opens them.
class DialogAnswerer {
  public:
    DialogAnswerer(std::initializer_list<int> buttons);
    explicit DialogAnswerer(int button) : DialogAnswerer({button}) {}
    ~DialogAnswerer();
    bool answered() const { return !title_.empty(); }
    std::string title() const { return title_; }
    // A control's text when the first dialog was answered.
    std::string text(int id) const { return texts_.count(id) ? texts_.at(id) : std::string(); }

  private:
    static void CALLBACK Answer(HWND, UINT, UINT_PTR, DWORD);
    std::vector<int> buttons_;
    UINT_PTR timer_;
    std::string title_;
    std::map<int, std::string> texts_;
};

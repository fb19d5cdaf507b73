// The message loop's keyboard rules, fed through the real loop: key messages
// are posted to a form control, then the loop runs until the queue is empty.
#include "test_main_window.h"

#include "main_window.h"
#include "resource.h"

#include <vector>

namespace {

constexpr int ISBN_BOX = 105;

std::vector<int> commands; // WM_COMMAND ids that reached the main window
int closeRequests;
// Key and character messages the edit box received.
int keyDownsAtEditBox, keyUpsAtEditBox;
WNDPROC mainProc, editProc;

LRESULT CALLBACK WatchMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Noted and swallowed: the commands behind the shortcuts are not under test here.
    if (message == WM_COMMAND && lParam == 0) {
        commands.push_back(LOWORD(wParam));
        return 0;
    }
    if (message == WM_CLOSE) {
        ++closeRequests;
        return 0;
    }
    return CallWindowProcA(mainProc, window, message, wParam, lParam);
}

LRESULT CALLBACK WatchEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_CHAR) ++keyDownsAtEditBox;
    if (message == WM_KEYUP) ++keyUpsAtEditBox;
    return CallWindowProcA(editProc, window, message, wParam, lParam);
}

class MessageLoopTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        commands.clear();
        closeRequests = keyDownsAtEditBox = keyUpsAtEditBox = 0;
        edit = GetDlgItem(hMainWnd, ISBN_BOX);
        ASSERT_NE(edit, nullptr);
        mainProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hMainWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchMain)));
        editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchEdit)));
        SetFocus(edit);
    }
    void TearDown() override {
        if (IsWindow(hMainWnd))
            SetWindowLongPtrA(hMainWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mainProc));
        MainWindowTest::TearDown();
    }
    void Down(WPARAM key) { PostMessageA(edit, WM_KEYDOWN, key, 1); }
    void Up(WPARAM key) { PostMessageA(edit, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u)); }
    void Press(WPARAM key) {
        Down(key);
        Up(key);
    }
    void WithControl(std::initializer_list<WPARAM> keys) {
        Down(VK_CONTROL);
        for (WPARAM key : keys) Press(key);
        Up(VK_CONTROL);
    }
    // Runs the program's loop until every posted message, and every command
    // the loop posted in turn, has been handled.
    void RunLoop() {
        PostQuitMessage(0);
        MessageLoop();
    }
    HWND edit = nullptr;
};

TEST_F(MessageLoopTest, ControlShortcutsPostTheirCommandOncePerPressOfControl) {
    WithControl({'S', 'S'}); // S again with Control still held does not save again
    WithControl({'S'});
    WithControl({'F'});
    WithControl({'O'});
    WithControl({'N'});
    WithControl({VK_DELETE});
    RunLoop();
    EXPECT_EQ(commands,
              (std::vector<int>{IDT_SAVE, IDT_SAVE, IDT_SEARCH, IDT_OPEN, IDT_ADD, IDT_DELETE}));
    EXPECT_EQ(ctrlHeld, 0u);
}

TEST_F(MessageLoopTest, OtherKeysNeverReachTheFormWhileControlIsHeld) {
    SetWindowTextA(edit, "keep");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    WithControl({'C', 'V', 'X', 'Z', 'A', VK_INSERT, VK_BACK});
    RunLoop();
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(keyDownsAtEditBox, 0);
    EXPECT_EQ(keyUpsAtEditBox, 0);
    EXPECT_EQ(WindowText(edit), "keep");

    // With Control released the keys are the form's again.
    Press('Q');
    RunLoop();
    EXPECT_GT(keyDownsAtEditBox, 0);
    EXPECT_EQ(WindowText(edit), "q");
}

TEST_F(MessageLoopTest, FunctionKeysPostOnceAndAreNotDispatched) {
    Press(VK_F1);
    Press(VK_F3);
    Press(VK_F1);
    RunLoop();
    EXPECT_EQ(commands, (std::vector<int>{IDT_README, IDT_SEARCH, IDT_README}));
    EXPECT_EQ(keyDownsAtEditBox, 0);
    EXPECT_EQ(keyUpsAtEditBox, 0);
}

TEST_F(MessageLoopTest, EscapeAsksTheWindowToClose) {
    Press(VK_ESCAPE);
    RunLoop();
    EXPECT_EQ(closeRequests, 1);
    EXPECT_TRUE(commands.empty());
    // The key-down never reaches the form; only its release does.
    EXPECT_EQ(keyDownsAtEditBox, 0);
    EXPECT_EQ(keyUpsAtEditBox, 1);
}

using EscapeKey = MainWindowTest;

TEST_F(EscapeKey, EndsTheProgramWhenNothingWasAdded) {
    PostMessageA(GetDlgItem(hMainWnd, ISBN_BOX), WM_KEYDOWN, VK_ESCAPE, 1);
    PostQuitMessage(0); // ends the loop even if Escape were ignored
    MessageLoop();
    EXPECT_FALSE(IsWindow(hMainWnd));
}

} // namespace

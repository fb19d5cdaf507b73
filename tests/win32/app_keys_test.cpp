// The message loop's keyboard rules, fed through the real loop: key messages
// are posted to a form control, then the loop runs until the queue is empty.
#include "test_main_window.h"

#include "main_window.h"
#include "resource.h"

#include <vector>

namespace {

std::vector<int> commands; // WM_COMMAND ids that reached the main window
int closeRequests, keyDownsAtEdit, keyUpsAtEdit;
WNDPROC mainProc, editProc;

LRESULT CALLBACK WatchMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Noted and swallowed: the commands behind the keys are not under test here.
    if (message == WM_COMMAND && lParam == 0) return commands.push_back(LOWORD(wParam)), 0;
    if (message == WM_CLOSE) return ++closeRequests, 0;
    return CallWindowProcA(mainProc, window, message, wParam, lParam);
}

LRESULT CALLBACK WatchEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    keyDownsAtEdit += message == WM_KEYDOWN || message == WM_CHAR;
    keyUpsAtEdit += message == WM_KEYUP;
    return CallWindowProcA(editProc, window, message, wParam, lParam);
}

WNDPROC Subclass(HWND window, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

class MessageLoopTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        commands.clear();
        closeRequests = keyDownsAtEdit = keyUpsAtEdit = 0;
        mainProc = Subclass(hMainWnd, WatchMain);
        editProc = Subclass(edit = GetDlgItem(hMainWnd, 105), WatchEdit);
        SetFocus(edit);
    }
    // Presses each key in turn; VK_CONTROL alternately goes down and comes up.
    void Type(std::initializer_list<WPARAM> keys) {
        bool control = false;
        for (WPARAM key : keys) {
            if (key != VK_CONTROL || !control) PostMessageA(edit, WM_KEYDOWN, key, 1);
            if (key != VK_CONTROL || control) PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
            if (key == VK_CONTROL) control = !control;
        }
        PostQuitMessage(0); // the loop ends once everything before it is handled
        MessageLoop();
    }
    HWND edit = nullptr;
};

TEST_F(MessageLoopTest, ControlShortcutsPostTheirCommandOncePerPressOfControl) {
    Type({VK_CONTROL, 'S', 'S', VK_CONTROL, VK_CONTROL, 'S', VK_CONTROL, VK_CONTROL, 'F',
          VK_CONTROL, VK_CONTROL, 'O', VK_CONTROL, VK_CONTROL, 'N', VK_CONTROL, VK_CONTROL,
          VK_DELETE, VK_CONTROL});
    EXPECT_EQ(commands,
              (std::vector<int>{IDT_SAVE, IDT_SAVE, IDT_SEARCH, IDT_OPEN, IDT_ADD, IDT_DELETE}));
    EXPECT_EQ(ctrlHeld, 0u);
}

TEST_F(MessageLoopTest, OtherKeysNeverReachTheFormWhileControlIsHeld) {
    SetWindowTextA(edit, "keep");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    Type({VK_CONTROL, 'C', 'V', 'X', 'Z', 'A', VK_INSERT, VK_BACK, VK_CONTROL});
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(keyDownsAtEdit + keyUpsAtEdit, 0);
    EXPECT_EQ(WindowText(edit), "keep");
    Type({'Q'}); // with Control released the keys are the form's again
    EXPECT_EQ(WindowText(edit), "q");
}

TEST_F(MessageLoopTest, FunctionKeysPostOnceAndEscapeAsksToClose) {
    Type({VK_F1, VK_F3, VK_F1, VK_ESCAPE});
    EXPECT_EQ(commands, (std::vector<int>{IDT_README, IDT_SEARCH, IDT_README}));
    EXPECT_EQ(closeRequests, 1);
    EXPECT_EQ(keyDownsAtEdit, 0);
    EXPECT_EQ(keyUpsAtEdit, 1); // only Escape's release
    // With nothing added the real window procedure ends the program.
    Subclass(hMainWnd, mainProc);
    Type({VK_ESCAPE});
    EXPECT_FALSE(IsWindow(hMainWnd));
}

} // namespace

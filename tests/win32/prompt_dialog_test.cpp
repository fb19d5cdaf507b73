#include "form_test_window.h"

#include "prompt_dialog.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Step = std::function<void(HWND dialog)>;

// How a prompt run went: the answer, how many steps ran before the dialog
// ended, and whether it had to be ended by force after the last step.
struct PromptRun {
    int32_t result;
    size_t stepsRun;
    bool forced;
};

// The steps of the run on this thread, one per timer tick once the dialog is
// up and has settled (its own focus timer has fired).
struct Driver {
    std::vector<Step> steps;
    size_t next = 0;
    DWORD shownAt = 0;
    int idleTicks = 0;
    bool forced = false;
};
thread_local Driver* driver;

constexpr UINT STEP_PERIOD = 30;
constexpr DWORD SETTLE_TIME = 200;
constexpr int IDLE_TICKS_BEFORE_FORCE = 30;

BOOL CALLBACK FindPrompt(HWND window, LPARAM found) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPrompt, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    if (driver->shownAt == 0) driver->shownAt = GetTickCount();
    if (GetTickCount() - driver->shownAt < SETTLE_TIME) return;
    if (driver->next < driver->steps.size()) {
        driver->steps[driver->next++](dialog);
    } else if (++driver->idleTicks > IDLE_TICKS_BEFORE_FORCE) {
        driver->forced = true;
        EndDialog(dialog, 0);
    }
}

PromptRun RunPrompt(HWND owner, std::vector<Step> steps) {
    Driver run;
    run.steps = std::move(steps);
    driver = &run;
    UINT_PTR timer = SetTimer(nullptr, 0, STEP_PERIOD, DriveDialog);
    int32_t result = ShowPrompt(owner);
    KillTimer(nullptr, timer);
    driver = nullptr;
    DrainMessages();
    return {result, run.next, run.forced};
}

std::string Text(HWND dialog, int id) {
    char text[1000] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

bool Visible(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

Step Press(int id) {
    return [id](HWND dialog) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
}

// A key as the keyboard would bring it: to the control with the focus.
Step Key(WPARAM key) {
    return [key](HWND dialog) {
        HWND focus = GetFocus();
        HWND target = focus != nullptr && IsChild(dialog, focus) ? focus : dialog;
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    };
}

// The control with the focus while the dialog is active. On a shared display
// another program's window may have taken the activation; activated again,
// the dialog puts the focus back where it was.
HWND FocusWhenActive(HWND dialog) {
    if (GetActiveWindow() != dialog) SetActiveWindow(dialog);
    return GetFocus();
}

void ExpectRequestReset() {
    EXPECT_EQ(promptMode, 0);
    EXPECT_EQ(promptLine1, nullptr);
    EXPECT_EQ(promptLine2, nullptr);
    EXPECT_EQ(promptLine3, nullptr);
    EXPECT_EQ(promptLine4.load(), nullptr);
}

// Controls that only some modes show.
constexpr int MODE_CONTROLS[] = {
    IDC_PROMPT_BUTTON3, IDOK, IDCANCEL, IDC_PROMPT_EDIT, IDC_PROMPT_DATE, IDC_PROMPT_LINE3,
    IDC_PROMPT_LINE4};

// The ids among MODE_CONTROLS that are visible.
std::vector<int> VisibleModeControls(HWND dialog) {
    std::vector<int> visible;
    for (int id : MODE_CONTROLS)
        if (Visible(dialog, id)) visible.push_back(id);
    return visible;
}

class PromptDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DrainMessages();
        PrepareProgramModule();
        ResetPromptRequest();
    }
    void TearDown() override {
        ResetPromptRequest();
        DrainMessages();
    }

    // Opens a one-step prompt in mode and answers it with steps.
    PromptRun Ask(int32_t mode, std::vector<Step> steps) {
        promptMode = mode;
        promptLine2 = "Question";
        PromptRun run = RunPrompt(nullptr, std::move(steps));
        ExpectRequestReset();
        return run;
    }
};

TEST_F(PromptDialogTest, NoticeShowsItsLineAndContinue) {
    promptLine2 = "File Error";
    std::string title, lines[4], caption;
    std::vector<int> visible;
    HWND focus = nullptr, button1 = nullptr;
    PromptRun run = RunPrompt(nullptr, {[&](HWND dialog) {
                                            char text[100] = "";
                                            GetWindowTextA(dialog, text, sizeof(text));
                                            title = text;
                                            for (int i = 0; i < 4; ++i)
                                                lines[i] = Text(dialog, IDC_PROMPT_LINE1 + i);
                                            caption = Text(dialog, IDOK);
                                            visible = VisibleModeControls(dialog);
                                            focus = FocusWhenActive(dialog);
                                            button1 = GetDlgItem(dialog, IDOK);
                                        },
                                        Press(IDOK)});
    EXPECT_EQ(run.result, PROMPT_OK);
    EXPECT_EQ(run.stepsRun, 2u);
    EXPECT_FALSE(run.forced);
    ExpectRequestReset();
    EXPECT_EQ(title, "Quirebook 1.9");
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "File Error");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(caption, "Continue");
    EXPECT_EQ(visible, (std::vector<int>{IDOK, IDC_PROMPT_LINE3, IDC_PROMPT_LINE4}));
    EXPECT_EQ(focus, button1);
}

TEST_F(PromptDialogTest, NoticeEndsWithEveryButtonAndBothKeys) {
    EXPECT_EQ(Ask(PROMPT_NOTICE, {Press(IDCANCEL)}).result, PROMPT_CANCEL);
    EXPECT_EQ(Ask(PROMPT_NOTICE, {Press(IDC_PROMPT_BUTTON3)}).result, PROMPT_CANCEL);
    EXPECT_EQ(Ask(PROMPT_NOTICE, {Key(VK_ESCAPE)}).result, PROMPT_CANCEL);
    EXPECT_EQ(Ask(PROMPT_NOTICE, {Key(VK_RETURN)}).result, PROMPT_OK);
    // Notifications of other controls do not end it.
    PromptRun run = Ask(PROMPT_NOTICE, {Press(IDC_PROMPT_LINE1), Press(IDOK)});
    EXPECT_EQ(run.stepsRun, 2u);
    EXPECT_EQ(run.result, PROMPT_OK);
}

TEST_F(PromptDialogTest, OkCancelShowsBothButtonsAndAnswers) {
    std::string captions[2];
    std::vector<int> visible;
    PromptRun run = Ask(PROMPT_OK_CANCEL, {[&](HWND dialog) {
                                               captions[0] = Text(dialog, IDOK);
                                               captions[1] = Text(dialog, IDCANCEL);
                                               visible = VisibleModeControls(dialog);
                                           },
                                           Press(IDOK)});
    EXPECT_EQ(run.result, PROMPT_OK);
    EXPECT_EQ(captions[0], "OK");
    EXPECT_EQ(captions[1], "Cancel");
    EXPECT_EQ(visible, (std::vector<int>{IDOK, IDCANCEL, IDC_PROMPT_LINE3, IDC_PROMPT_LINE4}));

    EXPECT_EQ(Ask(PROMPT_OK_CANCEL, {Press(IDCANCEL)}).result, PROMPT_CANCEL);
    EXPECT_EQ(Ask(PROMPT_OK_CANCEL, {Key(VK_ESCAPE)}).result, PROMPT_CANCEL);
    EXPECT_EQ(Ask(PROMPT_OK_CANCEL, {Key(VK_RETURN)}).result, PROMPT_OK);
}

TEST_F(PromptDialogTest, YesNoCancelAnswersWithTheButtonsId) {
    promptLine3 = "Save Current File Now?";
    std::string captions[3], line3;
    std::vector<int> visible;
    PromptRun run = Ask(PROMPT_YES_NO_CANCEL, {[&](HWND dialog) {
                                                   captions[0] = Text(dialog, IDC_PROMPT_BUTTON3);
                                                   captions[1] = Text(dialog, IDOK);
                                                   captions[2] = Text(dialog, IDCANCEL);
                                                   line3 = Text(dialog, IDC_PROMPT_LINE3);
                                                   visible = VisibleModeControls(dialog);
                                               },
                                               Press(IDC_PROMPT_BUTTON3)});
    EXPECT_EQ(run.result, PROMPT_NO);
    EXPECT_EQ(captions[0], "No");
    EXPECT_EQ(captions[1], "Yes");
    EXPECT_EQ(captions[2], "Cancel");
    EXPECT_EQ(line3, "Save Current File Now?");
    EXPECT_EQ(visible, (std::vector<int>{IDC_PROMPT_BUTTON3, IDOK, IDCANCEL, IDC_PROMPT_LINE3,
                                         IDC_PROMPT_LINE4}));

    EXPECT_EQ(Ask(PROMPT_YES_NO_CANCEL, {Press(IDOK)}).result, PROMPT_OK);
    EXPECT_EQ(Ask(PROMPT_YES_NO_CANCEL, {Press(IDCANCEL)}).result, PROMPT_CANCEL);
    EXPECT_EQ(Ask(PROMPT_YES_NO_CANCEL, {Key(VK_ESCAPE)}).result, PROMPT_CANCEL);
    EXPECT_EQ(Ask(PROMPT_YES_NO_CANCEL, {Key(VK_RETURN)}).result, PROMPT_OK);
}

TEST_F(PromptDialogTest, FocusTimerPutsTheFocusOnButtonOne) {
    HWND afterOtherTimer = nullptr, afterFocusTimer = nullptr, button1 = nullptr, button3 = nullptr;
    Ask(PROMPT_YES_NO_CANCEL, {[&](HWND dialog) {
                                   button1 = GetDlgItem(dialog, IDOK);
                                   button3 = GetDlgItem(dialog, IDC_PROMPT_BUTTON3);
                                   SetFocus(button3);
                                   SendMessageA(dialog, WM_TIMER, 4, 0);
                                   afterOtherTimer = GetFocus();
                                   SendMessageA(dialog, WM_TIMER, 3, 0);
                                   afterFocusTimer = GetFocus();
                               },
                               Press(IDOK)});
    EXPECT_EQ(afterOtherTimer, button3);
    EXPECT_EQ(afterFocusTimer, button1);
}

TEST_F(PromptDialogTest, TextEntryKeepsTheFocusWithItsTextSelected) {
    char answer[PROMPT_ANSWER_SIZE] = "12";
    promptMode = PROMPT_TEXT;
    promptLine1 = "Goto";
    promptLine3 = answer;
    std::string line1, shown;
    std::vector<int> visible;
    HWND focus = nullptr, edit = nullptr;
    DWORD selectionStart = 99, selectionEnd = 99;
    PromptRun run = RunPrompt(nullptr, {[&](HWND dialog) {
                                            line1 = Text(dialog, IDC_PROMPT_LINE1);
                                            shown = Text(dialog, IDC_PROMPT_EDIT);
                                            visible = VisibleModeControls(dialog);
                                            edit = GetDlgItem(dialog, IDC_PROMPT_EDIT);
                                            // The dialog's own timer does not take the focus away.
                                            SendMessageA(dialog, WM_TIMER, 3, 0);
                                            focus = FocusWhenActive(dialog);
                                            SendMessageA(edit, EM_GETSEL,
                                                         reinterpret_cast<WPARAM>(&selectionStart),
                                                         reinterpret_cast<LPARAM>(&selectionEnd));
                                        },
                                        Key(VK_RETURN)});
    EXPECT_EQ(run.result, PROMPT_OK);
    EXPECT_FALSE(run.forced);
    ExpectRequestReset();
    EXPECT_EQ(line1, "Goto");
    EXPECT_EQ(shown, "12");
    EXPECT_EQ(visible, (std::vector<int>{IDOK, IDC_PROMPT_EDIT}));
    EXPECT_EQ(focus, edit);
    EXPECT_EQ(selectionStart, 0u);
    EXPECT_EQ(selectionEnd, 2u);
    EXPECT_STREQ(answer, "12");
}

TEST_F(PromptDialogTest, TextEntryCannotBeCancelledAndReturnsTheTypedText) {
    char answer[PROMPT_ANSWER_SIZE] = "Books";
    promptMode = PROMPT_TEXT;
    promptLine1 = "Database Name";
    promptLine3 = answer;
    bool openAfterCancel = false;
    PromptRun run = RunPrompt(nullptr, {Key(VK_ESCAPE), Press(IDCANCEL), Press(IDC_PROMPT_BUTTON3),
                                        [&](HWND dialog) {
                                            openAfterCancel = IsWindowVisible(dialog) != FALSE;
                                            SetDlgItemTextA(dialog, IDC_PROMPT_EDIT, "My Films");
                                        },
                                        Press(IDOK)});
    EXPECT_TRUE(openAfterCancel);
    EXPECT_EQ(run.stepsRun, 5u);
    EXPECT_EQ(run.result, PROMPT_OK);
    EXPECT_STREQ(answer, "My Films");
}

TEST_F(PromptDialogTest, TextEntryReturnsAtMost299Characters) {
    char answer[PROMPT_ANSWER_SIZE + 10];
    std::string guard(PROMPT_ANSWER_SIZE + 9, '#');
    guard.copy(answer, guard.size());
    answer[guard.size()] = '\0';
    answer[0] = '\0';
    promptMode = PROMPT_TEXT;
    promptLine3 = answer;
    const std::string typed = std::string(250, 'a') + std::string(150, 'b');
    PromptRun run = RunPrompt(
        nullptr, {[&](HWND dialog) { SetDlgItemTextA(dialog, IDC_PROMPT_EDIT, typed.c_str()); },
                  Press(IDOK)});
    EXPECT_EQ(run.result, PROMPT_OK);
    EXPECT_EQ(std::string(answer), typed.substr(0, 299));
    // Nothing is written past the 300 characters of the answer buffer.
    EXPECT_EQ(std::string(answer + PROMPT_ANSWER_SIZE), std::string(9, '#'));
}

TEST_F(PromptDialogTest, DateEntryReturnsThePickedDateInTheShortFormat) {
    char answer[PROMPT_ANSWER_SIZE] = "";
    promptMode = PROMPT_DATE;
    promptLine1 = "Select Date";
    promptLine3 = answer;
    std::vector<int> visible;
    HWND focus = nullptr, picker = nullptr;
    bool openAfterEscape = false;
    SYSTEMTIME picked = {2026, 12, 6, 5, 0, 0, 0, 0};
    PromptRun run = RunPrompt(
        nullptr,
        {[&](HWND dialog) {
             visible = VisibleModeControls(dialog);
             picker = GetDlgItem(dialog, IDC_PROMPT_DATE);
             SendMessageA(dialog, WM_TIMER, 3, 0);
             focus = FocusWhenActive(dialog);
             SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked));
         },
         Key(VK_ESCAPE), [&](HWND dialog) { openAfterEscape = IsWindowVisible(dialog) != FALSE; },
         Key(VK_RETURN)});
    EXPECT_EQ(run.result, PROMPT_OK);
    EXPECT_FALSE(run.forced);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(visible, (std::vector<int>{IDOK, IDC_PROMPT_DATE}));
    EXPECT_TRUE(focus == picker || IsChild(picker, focus));
    char expected[PROMPT_ANSWER_SIZE] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &picked, nullptr, expected,
                   PROMPT_ANSWER_SIZE);
    EXPECT_STREQ(answer, expected);
    EXPECT_NE(std::string(answer).find("2026"), std::string::npos);
}

TEST_F(PromptDialogTest, AFailedOpenResetsTheRequestAndAnswersCancel) {
    promptMode = PROMPT_YES_NO_CANCEL;
    promptLine2 = "New Records Have Been Added";
    // A module without the dialog template.
    hInstance = GetModuleHandleA("kernel32.dll");
    int32_t answer = ShowPrompt(nullptr);
    hInstance = GetModuleHandleA(nullptr);
    EXPECT_EQ(answer, PROMPT_CANCEL);
    EXPECT_EQ(promptResult, PROMPT_CANCEL);
    ExpectRequestReset();
}

// The search navigator runs on a thread of its own and posts its steps to the
// main thread, which writes the outcome line.
struct Navigation {
    int nextSteps = 0;
    int previousSteps = 0;
};
Navigation navigation;

LRESULT CALLBACK SearchOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SEARCHNEXT) {
        ++navigation.nextSteps;
        promptLine4 = "No Match Found";
        return 0;
    }
    if (message == WM_SEARCHPREV) {
        ++navigation.previousSteps;
        promptLine4 = nullptr;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct NavigatorView {
    std::string captions[3], line1, line2, lineAfterNext, lineAfterPrevious, lineAfterEscape;
    std::vector<int> visible;
    PromptRun run = {};
};

DWORD WINAPI RunNavigator(void* parameter) {
    NavigatorView& view = *static_cast<NavigatorView*>(parameter);
    view.run = RunPrompt(
        searchOwner,
        {[&](HWND dialog) {
             view.captions[0] = Text(dialog, IDC_PROMPT_BUTTON3);
             view.captions[1] = Text(dialog, IDOK);
             view.captions[2] = Text(dialog, IDCANCEL);
             view.line1 = Text(dialog, IDC_PROMPT_LINE1);
             view.line2 = Text(dialog, IDC_PROMPT_LINE2);
             view.visible = VisibleModeControls(dialog);
         },
         Press(IDCANCEL), [&](HWND dialog) { view.lineAfterNext = Text(dialog, IDC_PROMPT_LINE4); },
         Press(IDC_PROMPT_BUTTON3),
         [&](HWND dialog) { view.lineAfterPrevious = Text(dialog, IDC_PROMPT_LINE4); },
         Key(VK_ESCAPE),
         [&](HWND dialog) { view.lineAfterEscape = Text(dialog, IDC_PROMPT_LINE4); },
         Key(VK_RETURN)});
    return 0;
}

TEST_F(PromptDialogTest, SearchNavigatorPostsItsStepsAndEndsOnlyWithContinue) {
    WNDCLASSA ownerClass = {};
    ownerClass.lpfnWndProc = SearchOwnerProc;
    ownerClass.hInstance = hInstance;
    ownerClass.lpszClassName = "QuirebookSearchOwnerTest";
    RegisterClassA(&ownerClass);
    searchOwner = CreateWindowExA(0, ownerClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 100, 100,
                                  nullptr, nullptr, hInstance, nullptr);
    ASSERT_NE(searchOwner, nullptr);
    navigation = {};
    char searchText[] = "Dune";
    promptMode = PROMPT_SEARCH;
    promptLine2 = searchText;

    NavigatorView view;
    HANDLE thread = CreateThread(nullptr, 0, RunNavigator, &view, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // The main thread's loop, which runs the steps while the navigator waits.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    CloseHandle(thread);
    DestroyWindow(searchOwner);
    searchOwner = nullptr;

    EXPECT_EQ(view.run.result, PROMPT_OK);
    EXPECT_EQ(view.run.stepsRun, 8u);
    EXPECT_FALSE(view.run.forced);
    ExpectRequestReset();
    EXPECT_EQ(view.captions[0], "Previous");
    EXPECT_EQ(view.captions[1], "Continue");
    EXPECT_EQ(view.captions[2], "Next");
    EXPECT_EQ(view.line1, "Search for...");
    EXPECT_EQ(view.line2, "Dune");
    EXPECT_EQ(view.visible, (std::vector<int>{IDC_PROMPT_BUTTON3, IDOK, IDCANCEL, IDC_PROMPT_LINE3,
                                              IDC_PROMPT_LINE4}));
    EXPECT_EQ(view.lineAfterNext, "No Match Found");
    EXPECT_EQ(view.lineAfterPrevious, "");
    EXPECT_EQ(view.lineAfterEscape, "No Match Found");
    EXPECT_EQ(navigation.nextSteps, 2);
    EXPECT_EQ(navigation.previousSteps, 1);
}

} // namespace

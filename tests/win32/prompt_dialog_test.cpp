// The prompt dialog in each of its modes, driven through its buttons and keys.
#include "test_main_window.h"

#include "prompt_dialog.h"
#include "resource.h"

#include <commctrl.h>
#include <tuple>

namespace {

// A key as the keyboard brings it: to the control with the focus.
Step Key(WPARAM key) {
    return [key](HWND dialog) {
        // On a shared display another window may have taken the activation.
        if (GetActiveWindow() != dialog) SetActiveWindow(dialog);
        HWND focus = GetFocus();
        PostMessageA(focus && IsChild(dialog, focus) ? focus : dialog, WM_KEYDOWN, key, 1);
    };
}

// The visible controls' texts, each followed by "|": lines 1 to 4, buttons 3,
// 1 and 2, the edit box, the date picker (as "date").
std::string Shown(HWND dialog) {
    std::string shown;
    for (int id : {IDC_PROMPT_LINE1, IDC_PROMPT_LINE2, IDC_PROMPT_LINE3, IDC_PROMPT_LINE4,
                   IDC_PROMPT_BUTTON3, IDOK, IDCANCEL, IDC_PROMPT_EDIT, IDC_PROMPT_DATE})
        if (IsWindowVisible(GetDlgItem(dialog, id)))
            shown += (id == IDC_PROMPT_DATE ? "date" : ControlText(dialog, id)) + "|";
    return shown;
}

using PromptDialog = MainWindowTest; // the program's common controls are ready

// Each mode's visible controls and answer to each action: buttons 1, 2
// and 3, Enter, Escape, a line's notification (0 where the dialog stays open).
// The text entry returns its text, the date entry the picked date in the short format.
TEST_F(PromptDialog, EachModeShowsItsControlsAndEndsOnlyWithItsButtons) {
    // clang-format off
    const std::tuple<PromptMode, const char*, const char*> modes[] = {
        {PROMPT_NOTICE, "One|Two|Three||Continue|", "122120"},
        {PROMPT_OK_CANCEL, "One|Two|Three||OK|Cancel|", "122120"},
        {PROMPT_YES_NO_CANCEL, "One|Two|Three||No|Yes|Cancel|", "123120"},
        {PROMPT_TEXT, "One|Two|Continue|Three|", "100100"},
        {PROMPT_SEARCH, "Search for...|Two|Three||Previous|Continue|Next|", "100100"},
        {PROMPT_DATE, "One|Two|Continue|date|", "100100"}};
    const Step actions[] = {Press(IDOK), Press(IDCANCEL), Press(IDC_PROMPT_BUTTON3), Key(VK_RETURN),
                            Key(VK_ESCAPE), Press(IDC_PROMPT_LINE1)};
    // clang-format on
    SYSTEMTIME picked = {2026, 12, 6, 5, 0, 0, 0, 0};
    char date[PROMPT_ANSWER_SIZE] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &picked, nullptr, date, sizeof date);
    for (const auto& [mode, shown, answers] : modes) {
        for (int action = 0; action < 6; ++action) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " action " << action);
            char line3[PROMPT_ANSWER_SIZE] = "Three"; // the answer buffer of the entries
            std::string seen;
            DialogDriver driver({[&](HWND dialog) {
                                     seen = Shown(dialog);
                                     SendDlgItemMessageA(dialog, IDC_PROMPT_DATE, DTM_SETSYSTEMTIME,
                                                         GDT_VALID, LPARAM(&picked));
                                 },
                                 actions[action], Press(IDOK)});
            int32_t result = ShowPrompt(nullptr, {mode, "One", "Two", line3, line3});
            int32_t expected = answers[action] - '0';
            EXPECT_EQ(seen, shown);
            EXPECT_EQ(result, expected ? expected : PROMPT_OK);
            EXPECT_EQ(driver.stepsRun(), expected ? 2u : 3u);
            EXPECT_STREQ(line3, mode == PROMPT_DATE ? date : "Three");
        }
    }
}

// (That its text starts selected, so that typing replaces it, is driven end to end.)
TEST_F(PromptDialog, TextEntryReturnsAtMost299Characters) {
    // Nine guard characters after the answer's 300.
    std::string answer = std::string("12\0", 3) + std::string(PROMPT_ANSWER_SIZE + 6, '#');
    const std::string typed = std::string(250, 'a') + std::string(150, 'b');
    DialogDriver driver(
        {[&](HWND dialog) { SetDlgItemTextA(dialog, IDC_PROMPT_EDIT, typed.c_str()); },
         Press(IDOK)});
    EXPECT_TRUE(AskEntry(nullptr, PROMPT_TEXT, "Goto", answer.data()));
    EXPECT_EQ(std::string(answer.c_str()), typed.substr(0, 299));
    EXPECT_EQ(answer.substr(PROMPT_ANSWER_SIZE), std::string(9, '#'));
}

} // namespace

// The prompt dialog: every notice, question and short entry of the program.
// A caller fills the prompt request, opens the dialog and reads the answer.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

enum PromptMode : int32_t {
    PROMPT_NOTICE = 0,        // "Continue"
    PROMPT_OK_CANCEL = 1,     // "OK", "Cancel"
    PROMPT_YES_NO_CANCEL = 5, // "No", "Yes", "Cancel"
    PROMPT_TEXT = 7,          // an edit box in place of lines 3 and 4
    PROMPT_SEARCH = 8,        // the search navigator: "Previous", "Continue", "Next"
    PROMPT_DATE = 9,          // a date picker in place of lines 3 and 4
};

enum PromptAnswer : int32_t {
    PROMPT_OK = 1, // also Yes and Continue
    PROMPT_CANCEL = 2,
    PROMPT_NO = 3,
};

// Sent to searchOwner by the navigator's "Next" and "Previous"; the navigator shows
// the step's outcome line once the owner has handled it.
constexpr UINT WM_SEARCHNEXT = WM_USER + 9;
constexpr UINT WM_SEARCHPREV = WM_USER + 16;

// Room a caller's answer buffer needs in the text and date modes.
constexpr int PROMPT_ANSWER_SIZE = 300;

// The prompt request. Every dialog's end sets the mode back to 0 and the lines
// to null; promptResult keeps the answer until the next dialog opens.
extern int32_t promptMode;
extern const char* promptLine1;
extern const char* promptLine2;
// In the text and date modes the caller's answer buffer of at least
// PROMPT_ANSWER_SIZE characters; the text mode shows and edits its text.
extern const char* promptLine3;
// The search outcome line, written by the main thread while the navigator's
// thread reads it.
extern std::atomic<const char*> promptLine4;
extern int32_t promptResult;

// The window the navigator's steps are posted to.
extern HWND searchOwner;

void ResetPromptRequest();
INT_PTR CALLBACK PromptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The usual requests: a one-line notice; a question whose answer is returned;
// a text or date entry (PROMPT_TEXT, PROMPT_DATE) into answer, of at least
// PROMPT_ANSWER_SIZE characters, true when it ended with OK.
void ShowNotice(HWND owner, const char* line2);
int32_t AskQuestion(HWND owner, PromptMode mode, const char* line2, const char* line3 = nullptr);
bool AskEntry(HWND owner, PromptMode mode, const char* line1, char* answer);

// Opens the prompt dialog of the owner's module (the program's own without an
// owner) for the current request and returns promptResult. When the dialog
// cannot be opened the request is reset and the answer is Cancel.
int32_t ShowPrompt(HWND owner);

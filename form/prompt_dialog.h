// The prompt dialog: every notice, question and short entry of the program.
// A caller hands the dialog its request and reads the answer it returns.
#pragma once
#include <windows.h>

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

// Sent to the navigator's owner by its "Next" and "Previous"; the owner runs
// the step and answers with the outcome line to show (a const char*, or 0 for
// an empty line).
constexpr UINT WM_SEARCHNEXT = WM_USER + 9;
constexpr UINT WM_SEARCHPREV = WM_USER + 16;

// Room a caller's answer buffer needs in the text and date modes.
constexpr int PROMPT_ANSWER_SIZE = 300;

// What one dialog shows; null lines are empty. The navigator writes its own line 1.
struct PromptRequest {
    PromptMode mode = PROMPT_NOTICE;
    const char* line1 = nullptr;
    const char* line2 = nullptr;
    const char* line3 = nullptr;
    // The text and date modes' answer, of at least PROMPT_ANSWER_SIZE
    // characters; the text mode starts with its text in the edit box.
    char* answer = nullptr;
};

// Opens the prompt dialog of the owner's module (the program's own without an
// owner) for request and returns its answer; Cancel when it cannot be opened.
int32_t ShowPrompt(HWND owner, const PromptRequest& request);

// The usual requests: a notice of one line or two; a question whose answer is returned;
// a text or date entry (PROMPT_TEXT, PROMPT_DATE) into answer, of at least
// PROMPT_ANSWER_SIZE characters, true when it ended with OK.
void ShowNotice(HWND owner, const char* line2, const char* line3 = nullptr);
int32_t AskQuestion(HWND owner, PromptMode mode, const char* line2, const char* line3 = nullptr);
bool AskEntry(HWND owner, PromptMode mode, const char* line1, char* answer);

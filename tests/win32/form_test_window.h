// A stand-in for the main window in the form and prompt tests: a plain window
// whose creation builds the record form, made the program's main window.
#pragma once
#include "main_form.h"
#include "shell_state.h"

#include <commctrl.h>
#include <windows.h>

// A message left behind (a WM_QUIT above all) would end the next test's dialog.
inline void DrainMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

inline void PrepareProgramModule() {
    hInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
}

class FormWindow {
  public:
    FormWindow() {
        PrepareProgramModule();
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = hInstance;
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = CLASS_NAME;
        RegisterClassExA(&windowClass); // fails harmlessly once registered
        hMainWnd = CreateWindowExA(0, CLASS_NAME, "Quirebook 1.9", WS_OVERLAPPED | WS_SYSMENU, 0, 0,
                                   400, 460, nullptr, nullptr, hInstance, nullptr);
    }
    ~FormWindow() {
        DestroyWindow(hMainWnd);
        hMainWnd = nullptr;
        hToolbar = nullptr;
        hStatusBar = nullptr;
        DrainMessages();
    }
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND Control(int id) const { return GetDlgItem(hMainWnd, id); }

  private:
    static constexpr const char* CLASS_NAME = "QuirebookFormTest";

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CREATE) BuildRecordForm(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

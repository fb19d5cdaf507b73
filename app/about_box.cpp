#include "about_box.h"

#include "resource.h"

namespace {

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        // The start-up record carries the program icon for the caption.
        if (auto* record = reinterpret_cast<const StartupRecord*>(lParam)) {
            SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                         reinterpret_cast<LPARAM>(record->smallIcon));
            SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(record->largeIcon));
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

void ShowAboutBox(HWND owner, const StartupRecord* startup) {
    DialogBoxParamA(startup->module, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc,
                    reinterpret_cast<LPARAM>(startup));
}

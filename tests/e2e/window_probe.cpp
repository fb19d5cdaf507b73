// window_probe CLASS: for the e2e tests, the title of a running program's
// top-level window of that class, its status bar's text, then the text of each
// child window, one a line; exit status 1 when there is no such window.
#include <windows.h>

#include <cstdio>

// WM_GETTEXT, which the system carries across processes; a status bar answers
// it with its first part (SB_GETTEXT it would not carry).
static BOOL CALLBACK PrintText(HWND window, LPARAM) {
    char text[600] = "";
    if (window)
        SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
    std::printf("%s\n", text);
    return TRUE;
}

int main(int argc, char** argv) {
    HWND window = argc == 2 ? FindWindowA(argv[1], nullptr) : nullptr;
    if (!window) return 1;
    PrintText(window, 0);
    PrintText(FindWindowExA(window, nullptr, "msctls_statusbar32", nullptr), 0);
    EnumChildWindows(window, PrintText, 0);
    return 0;
}

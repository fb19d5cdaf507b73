// Reports a running program's window from outside, as the e2e tests need it:
// window_probe CLASS prints the title of the top-level window of that class,
// its status bar's text, and then the text of each child window, one a line.
// Exit status 1 when no window of that class exists.
#include <windows.h>

#include <cstdio>

namespace {

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    char text[600] = "";
    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    std::printf("%s\n", text);
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_probe CLASS\n");
        return 2;
    }
    HWND window = FindWindowA(argv[1], nullptr);
    if (!window) return 1;
    char title[600] = "", status[600] = "";
    GetWindowTextA(window, title, sizeof title);
    // A status bar answers WM_GETTEXT with its first part, which the system
    // carries across processes (SB_GETTEXT it would not).
    if (HWND bar = FindWindowExA(window, nullptr, "msctls_statusbar32", nullptr))
        SendMessageTimeoutA(bar, WM_GETTEXT, sizeof status, reinterpret_cast<LPARAM>(status),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
    std::printf("%s\n%s\n", title, status);
    EnumChildWindows(window, PrintChild, 0);
    return 0;
}

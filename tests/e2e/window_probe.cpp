// Reports a running program's window from outside, for the e2e tests:
// window_probe CLASS prints the title of the top-level window of that class,
// its status bar's text, and then the text of each child window, one a line.
// Exit status 1 when no window of that class exists.
#include <windows.h>

#include <cstdio>

namespace {

// WM_GETTEXT, which the system carries across processes; a status bar answers
// it with its first part (SB_GETTEXT it would not carry).
BOOL CALLBACK PrintText(HWND window, LPARAM) {
    char text[600] = "";
    if (window)
        SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
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
    PrintText(window, 0);
    PrintText(FindWindowExA(window, nullptr, "msctls_statusbar32", nullptr), 0);
    EnumChildWindows(window, PrintText, 0);
    return 0;
}

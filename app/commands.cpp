#include "commands.h"

#include "about_box.h"
#include "field_catalogue.h"
#include "file_commands.h"
#include "main_form.h"
#include "record_form.h"
#include "resource.h"
#include "shell_state.h"

#include <commctrl.h>

namespace {

bool IsFieldNotification(int id) {
    int field = id - FIRST_FIELD_CONTROL;
    return field >= 1 && field <= 19 && id != 104 && id != 106;
}

} // namespace

void EnableFileCommands(int on) {
    for (int id = IDT_SAVE; id <= IDT_MOVIE; ++id) SendMessageA(hToolbar, TB_ENABLEBUTTON, id, on);
    for (int id = IDM_FILE_CLOSE; id <= IDM_EDIT_NAME; ++id)
        EnableMenuItem(hMainMenu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

void OnCommand(HWND window, WPARAM wParam, LPARAM) {
    int id = LOWORD(wParam);
    if (id == IDM_HELP_ABOUT) {
        ShowAboutBox(window);
    } else if (id == IDM_FILE_EXIT) {
        ExitProgram(window);
    } else if (id == IDM_FILE_CLOSE) {
        if (hRecordFile) CloseUserFile();
    } else if (IsFieldNotification(id)) {
        // The field the user touched last is the one Sort sorts by.
        sortField = id - FIRST_FIELD_CONTROL;
    } else if (id == IDT_BOOK || id == IDT_MOVIE) {
        SetKindLabels(id == IDT_BOOK ? KIND_BOOK : KIND_MOVIE);
    }
}

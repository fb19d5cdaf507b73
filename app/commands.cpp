#include "commands.h"

#include "about_box.h"
#include "field_catalogue.h"
#include "file_commands.h"
#include "record_form.h"
#include "resource.h"

void OnCommand(Program& program, WPARAM wParam) {
    int id = LOWORD(wParam);
    int field = id - FIRST_FIELD_CONTROL;
    if (id == IDM_HELP_ABOUT) {
        ShowAboutBox(program.window, program.startup);
    } else if (id == IDM_FILE_EXIT) {
        ExitProgram(program);
    } else if (id == IDM_FILE_CLOSE) {
        if (program.collection.hRecordFile) CloseUserFile(program);
    } else if (field >= 1 && IsSortControl(static_cast<uint32_t>(field))) {
        // The field the user touched last is the one Sort sorts by.
        program.collection.sortField = static_cast<uint32_t>(field);
    } else if (id == IDT_BOOK || id == IDT_MOVIE) {
        SetKindLabels(program.window, id == IDT_BOOK ? KIND_BOOK : KIND_MOVIE);
    }
}

#include "main_form.h"

#include "field_catalogue.h"
#include "record_form.h"
#include "resource.h"

#include <commctrl.h>

HWND hToolbar;
HWND hStatusBar;

namespace {

// The one button record handed to the toolbar for every button.
TBBUTTON toolbarButton;

struct ToolbarEntry {
    BYTE style;
    int image; // bitmap resource id minus IDB_FIRST_TOOL
    int command;
};

// Every button after the first, which comes with the toolbar itself.
const ToolbarEntry toolbarEntries[] = {
    {TBSTYLE_BUTTON, IDB_OPEN - IDB_FIRST_TOOL, IDT_OPEN},
    {TBSTYLE_BUTTON, IDB_SAVE - IDB_FIRST_TOOL, IDT_SAVE},
    {TBSTYLE_SEP, 0, 0},
    {TBSTYLE_BUTTON, IDB_ADD - IDB_FIRST_TOOL, IDT_ADD},
    {TBSTYLE_BUTTON, IDB_COPY - IDB_FIRST_TOOL, IDT_COPY},
    {TBSTYLE_BUTTON, IDB_DELETE - IDB_FIRST_TOOL, IDT_DELETE},
    {TBSTYLE_SEP, 0, 0},
    {TBSTYLE_CHECKGROUP, IDB_BOOK - IDB_FIRST_TOOL, IDT_BOOK},
    {TBSTYLE_CHECKGROUP, IDB_MOVIE - IDB_FIRST_TOOL, IDT_MOVIE},
    {TBSTYLE_SEP, 0, 0},
    {TBSTYLE_BUTTON, IDB_PREVIOUS - IDB_FIRST_TOOL, IDT_PREVIOUS},
    {TBSTYLE_BUTTON, IDB_NEXT - IDB_FIRST_TOOL, IDT_NEXT},
    {TBSTYLE_BUTTON, IDB_GOTO - IDB_FIRST_TOOL, IDT_GOTO},
    {TBSTYLE_SEP, 0, 0},
    {TBSTYLE_BUTTON, IDB_SEARCH - IDB_FIRST_TOOL, IDT_SEARCH},
    {TBSTYLE_SEP, 0, 0},
    {TBSTYLE_BUTTON, IDB_README - IDB_FIRST_TOOL, IDT_README},
};

constexpr DWORD LABEL = SS_LEFT;
constexpr DWORD EDITABLE_LIST = CBS_DROPDOWN | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD PICK_LIST = CBS_DROPDOWNLIST | WS_BORDER | WS_TABSTOP;
constexpr DWORD TEXT_BOX = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
// No ES_AUTOHSCROLL: typing stops at the box's right edge.
constexpr DWORD NUMBER_BOX = WS_BORDER | WS_TABSTOP;
constexpr DWORD COMMENT_BOX = ES_MULTILINE | WS_BORDER | WS_TABSTOP;
constexpr DWORD PUSH_BUTTON = BS_PUSHBUTTON | WS_BORDER | WS_TABSTOP;

struct FormControl {
    const char* className;
    int id;
    const char* text;
    int x, y, width, height; // a combo box's height is that of its dropped-down list
    DWORD style;
};

// In creation order, which is also the Tab order.
const FormControl formControls[] = {
    {"Static", 99, "Title", 5, 30, 50, 20, LABEL},
    {"ComboBox", 101, nullptr, 60, 30, 320, 300, EDITABLE_LIST},
    {"Static", 200, "Author", 5, 57, 50, 20, LABEL},
    {"ComboBox", 102, nullptr, 60, 57, 320, 300, EDITABLE_LIST},
    {"Static", 99, "Subject/Style", 5, 84, 90, 20, LABEL},
    {"ComboBox", 103, nullptr, 100, 84, 120, 300, EDITABLE_LIST},
    {"Static", 201, "Pub. Date", 225, 84, 70, 20, LABEL},
    {"Button", 104, nullptr, 300, 84, 80, 20, PUSH_BUTTON},
    {"Static", 202, "ISBN", 5, 111, 50, 20, LABEL},
    {"Edit", 105, nullptr, 60, 111, 160, 20, TEXT_BOX},
    {"Static", 99, "Buy Date", 225, 111, 80, 20, LABEL},
    {"Button", 106, nullptr, 300, 111, 80, 20, PUSH_BUTTON},
    {"Static", 99, "Series", 5, 136, 50, 20, LABEL},
    {"Edit", 107, nullptr, 60, 136, 250, 20, TEXT_BOX},
    {"Static", 99, "No.", 320, 136, 20, 20, LABEL},
    {"Edit", 108, nullptr, 350, 136, 30, 20, NUMBER_BOX},
    {"Static", 203, "Pages", 5, 161, 50, 20, LABEL},
    {"Edit", 109, nullptr, 60, 161, 50, 20, TEXT_BOX},
    {"Static", 99, "Price", 120, 161, 50, 20, LABEL},
    {"Edit", 110, nullptr, 170, 161, 60, 20, NUMBER_BOX},
    {"Static", 207, "Dewey", 250, 161, 50, 20, LABEL},
    {"Edit", 111, nullptr, 310, 161, 70, 20, TEXT_BOX},
    {"Static", 204, "Read A", 5, 186, 50, 20, LABEL},
    {"ComboBox", 112, nullptr, 60, 186, 65, 140, PICK_LIST},
    {"Static", 205, "Read B", 130, 186, 60, 20, LABEL},
    {"ComboBox", 113, nullptr, 190, 186, 65, 140, PICK_LIST & ~WS_BORDER},
    {"Static", 206, "Read C", 260, 186, 60, 20, LABEL},
    {"ComboBox", 114, nullptr, 320, 186, 65, 140, PICK_LIST},
    {"Static", 99, "Rating", 5, 215, 60, 20, LABEL},
    {"Edit", 115, nullptr, 60, 215, 40, 20, TEXT_BOX},
    {"Static", 99, "Status", 110, 215, 60, 20, LABEL},
    {"ComboBox", 116, nullptr, 155, 215, 90, 180, PICK_LIST},
    {"Static", 99, "Where", 250, 215, 60, 20, LABEL},
    {"ComboBox", 117, nullptr, 295, 215, 90, 300, EDITABLE_LIST},
    {"Static", 99, "Comments", 5, 238, 90, 20, LABEL},
    {"Edit", 118, nullptr, 5, 263, 380, 60, COMMENT_BOX},
    {"ComboBox", 119, nullptr, 5, 328, 380, 300, EDITABLE_LIST},
    {"Button", IDC_EXECUTE, "Execute", 220, 355, 80, 20, PUSH_BUTTON},
    {"Button", IDC_CHANGE, "Change..", 305, 355, 80, 20, PUSH_BUTTON},
};

void FillList(HWND window, int id, const char* const* items, int count) {
    for (int i = 0; i < count; ++i)
        SendDlgItemMessageA(window, id, CB_INSERTSTRING, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(items[i]));
}

} // namespace

void AddToolbarButton(int image, int command) {
    toolbarButton.iBitmap = image;
    toolbarButton.idCommand = command;
    SendMessageA(hToolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&toolbarButton));
}

void BuildRecordForm(HWND window) {
    HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    toolbarButton = {IDB_NEW - IDB_FIRST_TOOL, IDT_NEW, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0};
    // The bitmap of the first button holds one image; with a count of 0 some
    // toolbars leave it out of the image list and every later picture shifts.
    hToolbar = CreateToolbarEx(window, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT,
                               IDC_TOOLBAR, 1, module, IDB_NEW, &toolbarButton, 1, 0, 0, 16, 16,
                               sizeof(TBBUTTON));
    for (int id = IDB_OPEN; id <= IDB_LAST_TOOL; ++id) {
        TBADDBITMAP bitmap = {module, static_cast<UINT_PTR>(id)};
        SendMessageA(hToolbar, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&bitmap));
    }
    for (const ToolbarEntry& entry : toolbarEntries) {
        toolbarButton.fsStyle = entry.style;
        AddToolbarButton(entry.image, entry.command);
    }

    hStatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Quirebook 1.9", window, IDC_STATUSBAR);
    UpdateStatusLine();

    for (const FormControl& control : formControls)
        CreateWindowExA(0, control.className, control.text, WS_CHILD | WS_VISIBLE | control.style,
                        control.x, control.y, control.width, control.height, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), module, nullptr);

    FillList(window, FIRST_FIELD_CONTROL + 16, statusList, STATUS_LIST_SIZE);
    for (int field = 12; field <= 14; ++field)
        FillList(window, FIRST_FIELD_CONTROL + field, readingList, READING_LIST_SIZE);
}

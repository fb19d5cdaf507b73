#include "main_form.h"

#include "field_catalogue.h"
#include "resource.h"
#include "texts.h"

#include <commctrl.h>

namespace {

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

constexpr DWORD PUSH_BUTTON = BS_PUSHBUTTON | WS_BORDER | WS_TABSTOP;

// How each kind of field control is made.
struct ControlStyle {
    const char* className;
    DWORD style;
};

ControlStyle StyleOf(FieldControl control) {
    switch (control) {
    case CONTROL_EDITABLE_LIST:
        return {"ComboBox", CBS_DROPDOWN | WS_VSCROLL | WS_BORDER | WS_TABSTOP};
    case CONTROL_PICK_LIST:
        return {"ComboBox", CBS_DROPDOWNLIST | WS_BORDER | WS_TABSTOP};
    case CONTROL_TEXT_BOX:
        return {"Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP};
    case CONTROL_FIXED_BOX: // no ES_AUTOHSCROLL: typing stops at the box's right edge
        return {"Edit", WS_BORDER | WS_TABSTOP};
    case CONTROL_COMMENT_BOX:
        return {"Edit", ES_MULTILINE | WS_BORDER | WS_TABSTOP};
    default:
        return {"Button", PUSH_BUTTON};
    }
}

// Where a field's label and control stand; both share the row's top edge.
// A combo box's height is that of its dropped-down list.
struct FieldPlace {
    uint32_t field;
    int labelX, labelWidth; // a field without a label has width 0
    int x, y, width, height;
};

// In creation order, which is also the Tab order.
const FieldPlace formLayout[] = {
    {1, 5, 50, 60, 30, 320, 300},     {2, 5, 50, 60, 57, 320, 300},
    {3, 5, 90, 100, 84, 120, 300},    {4, 225, 70, 300, 84, 80, 20},
    {5, 5, 50, 60, 111, 160, 20},     {6, 225, 80, 300, 111, 80, 20},
    {7, 5, 50, 60, 136, 250, 20},     {8, 320, 20, 350, 136, 30, 20},
    {9, 5, 50, 60, 161, 50, 20},      {10, 120, 50, 170, 161, 60, 20},
    {11, 250, 50, 310, 161, 70, 20},  {12, 5, 50, 60, 186, 65, 140},
    {13, 130, 60, 190, 186, 65, 140}, {14, 260, 60, 320, 186, 65, 140},
    {15, 5, 60, 60, 215, 40, 20},     {16, 110, 60, 155, 215, 90, 180},
    {17, 250, 60, 295, 215, 90, 300}, {18, 5, 90, 5, 263, 380, 60},
    {19, 0, 0, 5, 328, 380, 300},
};
constexpr int LABEL_HEIGHT = 20;
// How far a label on a row of its own stands above its control.
constexpr int LABEL_ROW_HEIGHT = 25;

void MakeControl(HWND window, HINSTANCE module, const char* className, int id, const char* text,
                 DWORD style, int x, int y, int width, int height) {
    CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module, nullptr);
}

void MakeField(HWND window, HINSTANCE module, const FieldPlace& place) {
    const FieldInfo& info = fieldCatalogue[place.field];
    if (place.labelWidth > 0) {
        int labelY = info.flags & FLAG_LABEL_ABOVE ? place.y - LABEL_ROW_HEIGHT : place.y;
        MakeControl(window, module, "Static", info.labelId, info.bookLabel, SS_LEFT, place.labelX,
                    labelY, place.labelWidth, LABEL_HEIGHT);
    }
    ControlStyle control = StyleOf(info.control);
    if (info.flags & FLAG_BORDERLESS) control.style &= ~WS_BORDER;
    const int id = FieldControlId(place.field);
    MakeControl(window, module, control.className, id, nullptr, control.style, place.x, place.y,
                place.width, place.height);
    for (int i = 0; i < info.listSize; ++i)
        SendDlgItemMessageA(window, id, CB_INSERTSTRING, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(info.list[i]));
}

} // namespace

HWND Toolbar(HWND window) {
    return GetDlgItem(window, IDC_TOOLBAR);
}

HWND StatusBar(HWND window) {
    return GetDlgItem(window, IDC_STATUSBAR);
}

void BuildRecordForm(HWND window) {
    HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    TBBUTTON button = {
        IDB_NEW - IDB_FIRST_TOOL, IDT_NEW, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0};
    // The bitmap of the first button holds one image; with a count of 0 some
    // toolbars leave it out of the image list and every later picture shifts.
    HWND toolbar = CreateToolbarEx(window, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT,
                                   IDC_TOOLBAR, 1, module, IDB_NEW, &button, 1, 0, 0, 16, 16,
                                   sizeof(TBBUTTON));
    for (int id = IDB_OPEN; id <= IDB_LAST_TOOL; ++id) {
        TBADDBITMAP bitmap = {module, static_cast<UINT_PTR>(id)};
        SendMessageA(toolbar, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&bitmap));
    }
    for (const ToolbarEntry& entry : toolbarEntries) {
        button.iBitmap = entry.image;
        button.idCommand = entry.command;
        button.fsStyle = entry.style;
        SendMessageA(toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }

    CreateStatusWindowA(WS_CHILD | WS_VISIBLE, PROGRAM_TITLE, window, IDC_STATUSBAR);

    for (const FieldPlace& place : formLayout) MakeField(window, module, place);
    MakeControl(window, module, "Button", IDC_EXECUTE, TEXT_EXECUTE, PUSH_BUTTON, 220, 355, 80, 20);
    MakeControl(window, module, "Button", IDC_CHANGE, TEXT_CHANGE, PUSH_BUTTON, 305, 355, 80, 20);
}

#include "test_main_window.h"

#include "field_catalogue.h"
#include "main_form.h"
#include "resource.h"
#include "shell_state.h"

#include <commctrl.h>
#include <ostream>
#include <tuple>
#include <vector>

namespace {

constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;

struct Kind {
    std::string className;
    DWORD style;
};
const Kind LABEL{"Static", CHILD | SS_LEFT};
const Kind EDITABLE_LIST{"ComboBox", CHILD | CBS_DROPDOWN | WS_VSCROLL | WS_BORDER | WS_TABSTOP};
const Kind PICK_LIST{"ComboBox", CHILD | CBS_DROPDOWNLIST | WS_BORDER | WS_TABSTOP};
const Kind BORDERLESS_PICK_LIST{"ComboBox", CHILD | CBS_DROPDOWNLIST | WS_TABSTOP};
const Kind TEXT_BOX{"Edit", CHILD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP};
const Kind NUMBER_BOX{"Edit", CHILD | WS_BORDER | WS_TABSTOP};
const Kind COMMENT_BOX{"Edit", CHILD | ES_MULTILINE | WS_BORDER | WS_TABSTOP};
const Kind BUTTON{"Button", CHILD | BS_PUSHBUTTON | WS_BORDER | WS_TABSTOP};

// What a child of the main window asked for when it was created.
struct Control {
    Kind kind;
    int id;
    std::string text;
    int x, y, width, height; // a combo box's height is that of its dropped-down list
};
auto Fields(const Control& c) {
    return std::tie(c.kind.className, c.kind.style, c.id, c.text, c.x, c.y, c.width, c.height);
}
bool operator==(const Control& a, const Control& b) {
    return Fields(a) == Fields(b);
}
std::ostream& operator<<(std::ostream& out, const Control& c) {
    return out << c.kind.className << " " << std::hex << c.kind.style << std::dec << " " << c.id
               << " '" << c.text << "' " << c.x << "," << c.y << " " << c.width << "x" << c.height;
}

const Control formControls[] = {
    {LABEL, 99, "Title", 5, 30, 50, 20},         {EDITABLE_LIST, 101, "", 60, 30, 320, 300},
    {LABEL, 200, "Author", 5, 57, 50, 20},       {EDITABLE_LIST, 102, "", 60, 57, 320, 300},
    {LABEL, 99, "Subject/Style", 5, 84, 90, 20}, {EDITABLE_LIST, 103, "", 100, 84, 120, 300},
    {LABEL, 201, "Pub. Date", 225, 84, 70, 20},  {BUTTON, 104, "", 300, 84, 80, 20},
    {LABEL, 202, "ISBN", 5, 111, 50, 20},        {TEXT_BOX, 105, "", 60, 111, 160, 20},
    {LABEL, 99, "Buy Date", 225, 111, 80, 20},   {BUTTON, 106, "", 300, 111, 80, 20},
    {LABEL, 99, "Series", 5, 136, 50, 20},       {TEXT_BOX, 107, "", 60, 136, 250, 20},
    {LABEL, 99, "No.", 320, 136, 20, 20},        {NUMBER_BOX, 108, "", 350, 136, 30, 20},
    {LABEL, 203, "Pages", 5, 161, 50, 20},       {TEXT_BOX, 109, "", 60, 161, 50, 20},
    {LABEL, 99, "Price", 120, 161, 50, 20},      {NUMBER_BOX, 110, "", 170, 161, 60, 20},
    {LABEL, 207, "Dewey", 250, 161, 50, 20},     {TEXT_BOX, 111, "", 310, 161, 70, 20},
    {LABEL, 204, "Read A", 5, 186, 50, 20},      {PICK_LIST, 112, "", 60, 186, 65, 140},
    {LABEL, 205, "Read B", 130, 186, 60, 20},    {BORDERLESS_PICK_LIST, 113, "", 190, 186, 65, 140},
    {LABEL, 206, "Read C", 260, 186, 60, 20},    {PICK_LIST, 114, "", 320, 186, 65, 140},
    {LABEL, 99, "Rating", 5, 215, 60, 20},       {TEXT_BOX, 115, "", 60, 215, 40, 20},
    {LABEL, 99, "Status", 110, 215, 60, 20},     {PICK_LIST, 116, "", 155, 215, 90, 180},
    {LABEL, 99, "Where", 250, 215, 60, 20},      {EDITABLE_LIST, 117, "", 295, 215, 90, 300},
    {LABEL, 99, "Comments", 5, 238, 90, 20},     {COMMENT_BOX, 118, "", 5, 263, 380, 60},
    {EDITABLE_LIST, 119, "", 5, 328, 380, 300},  {BUTTON, 120, "Execute", 220, 355, 80, 20},
    {BUTTON, 121, "Change..", 305, 355, 80, 20},
};

std::vector<Control> created;

LRESULT CALLBACK NoteCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_CREATEWND) return CallNextHookEx(nullptr, code, wParam, lParam);
    const CREATESTRUCTA& c = *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
    char className[32] = "";
    GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
    Kind kind{className, static_cast<DWORD>(c.style)};
    if (c.hwndParent && WindowText(c.hwndParent) == "Quirebook 1.9")
        created.push_back({kind, static_cast<int>(reinterpret_cast<INT_PTR>(c.hMenu)),
                           c.lpszName ? c.lpszName : "", c.x, c.y, c.cx, c.cy});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The main window, with what each of its children asked for at its creation.
class FormLayout : public MainWindowTest {
  protected:
    void SetUp() override {
        created.clear();
        HHOOK hook = SetWindowsHookExA(WH_CBT, NoteCreation, nullptr, GetCurrentThreadId());
        StartMainWindow();
        UnhookWindowsHookEx(hook);
    }
};

TEST_F(FormLayout, ControlsAreCreatedAsTabledInTabOrder) {
    ASSERT_EQ(created.size(), std::size(formControls) + 2);
    EXPECT_EQ(created[0].id, IDC_TOOLBAR);
    EXPECT_EQ(created[1].id, IDC_STATUSBAR);
    EXPECT_EQ(GetWindowLongA(hStatusBar, GWL_STYLE) & SBARS_SIZEGRIP, 0);
    for (size_t i = 0; i < std::size(formControls); ++i)
        EXPECT_EQ(created[i + 2], formControls[i]) << "control #" << i + 1;

    // Tab goes round the field controls and the two buttons in creation order.
    HWND control = GetNextDlgTabItem(hMainWnd, nullptr, FALSE);
    for (int id = 101; id <= 122; ++id, control = GetNextDlgTabItem(hMainWnd, control, FALSE))
        EXPECT_EQ(GetDlgCtrlID(control), id == 122 ? 101 : id);
}

// A list's items, each followed by "|".
std::string Items(int id) {
    std::string items;
    char item[100];
    for (LRESULT i = 0; i < SendDlgItemMessageA(hMainWnd, id, CB_GETCOUNT, 0, 0); ++i) {
        SendDlgItemMessageA(hMainWnd, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        items = items + item + "|";
    }
    return items;
}

TEST_F(FormLayout, StartsWithFilledListsBookLabelsAndNoKindChecked) {
    for (int id : {112, 113, 114}) EXPECT_EQ(Items(id), "Yes|No|Never|Now|Half|") << id;
    EXPECT_EQ(Items(116), "Shelved|Boxed|Using|Borrowed|Lost|Ordered|Sold|Overdue|Want|");
    for (int id : {112, 113, 114, 116})
        EXPECT_EQ(SendDlgItemMessageA(hMainWnd, id, CB_GETCURSEL, 0, 0), CB_ERR) << id;
    for (int i = 0; i < KIND_LABEL_COUNT; ++i)
        EXPECT_EQ(WindowText(GetDlgItem(hMainWnd, FIRST_KIND_LABEL_ID + i)), bookLabelSet[i]);
    for (int kind : {IDT_BOOK, IDT_MUSIC, IDT_MOVIE})
        EXPECT_LE(SendMessageA(hToolbar, TB_ISBUTTONCHECKED, kind, 0), 0) << kind;
}

TEST_F(FormLayout, ToolbarHoldsTheTabledButtonsAndAnImageForEachBitmap) {
    // style, image, command
    const std::tuple<int, int, int> expected[] = {
        {TBSTYLE_BUTTON, 0, 30},     {TBSTYLE_BUTTON, 1, 2},  {TBSTYLE_BUTTON, 2, 3},
        {TBSTYLE_SEP, 0, 0},         {TBSTYLE_BUTTON, 3, 4},  {TBSTYLE_BUTTON, 4, 5},
        {TBSTYLE_BUTTON, 5, 6},      {TBSTYLE_SEP, 0, 0},     {TBSTYLE_CHECKGROUP, 6, 15},
        {TBSTYLE_CHECKGROUP, 8, 17}, {TBSTYLE_SEP, 0, 0},     {TBSTYLE_BUTTON, 9, 7},
        {TBSTYLE_BUTTON, 10, 11},    {TBSTYLE_BUTTON, 11, 9}, {TBSTYLE_SEP, 0, 0},
        {TBSTYLE_BUTTON, 12, 10},    {TBSTYLE_SEP, 0, 0},     {TBSTYLE_BUTTON, 13, 31},
    };
    ASSERT_EQ(SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0), 18);
    for (int i = 0; i < 18; ++i) {
        TBBUTTON button = {};
        SendMessageA(hToolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(std::make_tuple(int{button.fsStyle}, button.iBitmap, button.idCommand),
                  expected[i])
            << "position " << i + 1;
    }
    // One image a bitmap: 14, though no button shows Music's; one missing shifts every picture.
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(hToolbar, TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 14);
}

} // namespace

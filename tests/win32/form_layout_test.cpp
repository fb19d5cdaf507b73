#include "form_test_window.h"

#include "field_catalogue.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD LABEL = SS_LEFT;
constexpr DWORD EDITABLE_LIST = CBS_DROPDOWN | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD PICK_LIST = CBS_DROPDOWNLIST | WS_BORDER | WS_TABSTOP;
constexpr DWORD TEXT_BOX = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD NUMBER_BOX = WS_BORDER | WS_TABSTOP;
constexpr DWORD COMMENT_BOX = ES_MULTILINE | WS_BORDER | WS_TABSTOP;
constexpr DWORD PUSH_BUTTON = BS_PUSHBUTTON | WS_BORDER | WS_TABSTOP;

struct Expected {
    const char* className;
    int id;
    const char* text;
    int x, y, width, height;
    DWORD style;
};

const Expected expectedControls[] = {
    {"Static", 99, "Title", 5, 30, 50, 20, LABEL},
    {"ComboBox", 101, "", 60, 30, 320, 300, EDITABLE_LIST},
    {"Static", 200, "Author", 5, 57, 50, 20, LABEL},
    {"ComboBox", 102, "", 60, 57, 320, 300, EDITABLE_LIST},
    {"Static", 99, "Subject/Style", 5, 84, 90, 20, LABEL},
    {"ComboBox", 103, "", 100, 84, 120, 300, EDITABLE_LIST},
    {"Static", 201, "Pub. Date", 225, 84, 70, 20, LABEL},
    {"Button", 104, "", 300, 84, 80, 20, PUSH_BUTTON},
    {"Static", 202, "ISBN", 5, 111, 50, 20, LABEL},
    {"Edit", 105, "", 60, 111, 160, 20, TEXT_BOX},
    {"Static", 99, "Buy Date", 225, 111, 80, 20, LABEL},
    {"Button", 106, "", 300, 111, 80, 20, PUSH_BUTTON},
    {"Static", 99, "Series", 5, 136, 50, 20, LABEL},
    {"Edit", 107, "", 60, 136, 250, 20, TEXT_BOX},
    {"Static", 99, "No.", 320, 136, 20, 20, LABEL},
    {"Edit", 108, "", 350, 136, 30, 20, NUMBER_BOX},
    {"Static", 203, "Pages", 5, 161, 50, 20, LABEL},
    {"Edit", 109, "", 60, 161, 50, 20, TEXT_BOX},
    {"Static", 99, "Price", 120, 161, 50, 20, LABEL},
    {"Edit", 110, "", 170, 161, 60, 20, NUMBER_BOX},
    {"Static", 207, "Dewey", 250, 161, 50, 20, LABEL},
    {"Edit", 111, "", 310, 161, 70, 20, TEXT_BOX},
    {"Static", 204, "Read A", 5, 186, 50, 20, LABEL},
    {"ComboBox", 112, "", 60, 186, 65, 140, PICK_LIST},
    {"Static", 205, "Read B", 130, 186, 60, 20, LABEL},
    {"ComboBox", 113, "", 190, 186, 65, 140, CBS_DROPDOWNLIST | WS_TABSTOP},
    {"Static", 206, "Read C", 260, 186, 60, 20, LABEL},
    {"ComboBox", 114, "", 320, 186, 65, 140, PICK_LIST},
    {"Static", 99, "Rating", 5, 215, 60, 20, LABEL},
    {"Edit", 115, "", 60, 215, 40, 20, TEXT_BOX},
    {"Static", 99, "Status", 110, 215, 60, 20, LABEL},
    {"ComboBox", 116, "", 155, 215, 90, 180, PICK_LIST},
    {"Static", 99, "Where", 250, 215, 60, 20, LABEL},
    {"ComboBox", 117, "", 295, 215, 90, 300, EDITABLE_LIST},
    {"Static", 99, "Comments", 5, 238, 90, 20, LABEL},
    {"Edit", 118, "", 5, 263, 380, 60, COMMENT_BOX},
    {"ComboBox", 119, "", 5, 328, 380, 300, EDITABLE_LIST},
    {"Button", 120, "Execute", 220, 355, 80, 20, PUSH_BUTTON},
    {"Button", 121, "Change..", 305, 355, 80, 20, PUSH_BUTTON},
};
constexpr size_t CONTROL_COUNT = sizeof(expectedControls) / sizeof(expectedControls[0]);

// What a child of the form window asked for when it was created.
struct Creation {
    HWND window;
    int id;
    std::string text;
    int x, y, width, height;
    DWORD style, exStyle;
};

std::vector<Creation>* recordedCreations;

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND window) {
    char text[1000] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA& create = *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (create.hwndParent != nullptr && ClassOf(create.hwndParent) == "QuirebookFormTest")
            recordedCreations->push_back({reinterpret_cast<HWND>(wParam),
                                          static_cast<int>(reinterpret_cast<INT_PTR>(create.hMenu)),
                                          create.lpszName != nullptr ? create.lpszName : "",
                                          create.x, create.y, create.cx, create.cy,
                                          static_cast<DWORD>(create.style), create.dwExStyle});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Builds a form while recording what each of its children asked for.
std::vector<Creation> RecordFormCreation(std::unique_ptr<FormWindow>& form) {
    std::vector<Creation> creations;
    recordedCreations = &creations;
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
    form = std::make_unique<FormWindow>();
    UnhookWindowsHookEx(hook);
    recordedCreations = nullptr;
    return creations;
}

RECT ClientRect(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, hMainWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(FormLayoutTest, ControlsAreCreatedAsTabledAndInThatOrder) {
    std::unique_ptr<FormWindow> form;
    std::vector<Creation> creations = RecordFormCreation(form);
    ASSERT_EQ(creations.size(), CONTROL_COUNT + 2);
    EXPECT_EQ(creations[0].window, hToolbar);
    EXPECT_EQ(creations[1].window, hStatusBar);

    // The order of the children is the Tab order.
    std::vector<HWND> children;
    for (HWND child = GetWindow(hMainWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), creations.size());
    for (size_t i = 0; i < children.size(); ++i) EXPECT_EQ(children[i], creations[i].window) << i;

    for (size_t i = 0; i < CONTROL_COUNT; ++i) {
        const Expected& expected = expectedControls[i];
        const Creation& asked = creations[i + 2];
        HWND control = asked.window;
        SCOPED_TRACE(testing::Message() << "control #" << i + 1 << " id " << expected.id);
        EXPECT_STRCASEEQ(ClassOf(control).c_str(), expected.className);
        EXPECT_EQ(asked.id, expected.id);
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
        EXPECT_EQ(asked.text, expected.text);
        EXPECT_EQ(asked.style, WS_CHILD | WS_VISIBLE | expected.style);
        EXPECT_EQ(asked.exStyle, 0u);
        EXPECT_EQ(asked.x, expected.x);
        EXPECT_EQ(asked.y, expected.y);
        EXPECT_EQ(asked.width, expected.width);
        EXPECT_EQ(asked.height, expected.height);

        RECT rect = ClientRect(control);
        EXPECT_EQ(rect.left, expected.x);
        EXPECT_EQ(rect.top, expected.y);
        EXPECT_EQ(rect.right - rect.left, expected.width);
        // A combo box's height is that of its dropped-down list, checked as asked for above.
        if (ClassOf(control) != "ComboBox") {
            EXPECT_EQ(rect.bottom - rect.top, expected.height);
            EXPECT_EQ(TextOf(control), expected.text);
        }
    }
}

TEST(FormLayoutTest, TabMovesThroughTheFieldControlsInTableOrder) {
    FormWindow form;
    std::vector<int> order;
    HWND first = GetNextDlgTabItem(hMainWnd, nullptr, FALSE);
    HWND control = first;
    do {
        order.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(hMainWnd, control, FALSE);
    } while (control != first && order.size() < 50);
    std::vector<int> expected;
    for (int id = 101; id <= 121; ++id) expected.push_back(id);
    EXPECT_EQ(order, expected);
}

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char item[100] = "";
        SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items.push_back(item);
    }
    return items;
}

TEST(FormLayoutTest, FixedListsAreFilledAndNothingIsSelected) {
    FormWindow form;
    const std::vector<std::string> reading = {"Yes", "No", "Never", "Now", "Half"};
    const std::vector<std::string> status = {"Shelved", "Boxed", "Using",   "Borrowed", "Lost",
                                             "Ordered", "Sold",  "Overdue", "Want"};
    for (int id : {112, 113, 114}) EXPECT_EQ(ListItems(form.Control(id)), reading) << id;
    EXPECT_EQ(ListItems(form.Control(116)), status);
    for (int id : {112, 113, 114, 116})
        EXPECT_EQ(SendMessageA(form.Control(id), CB_GETCURSEL, 0, 0), CB_ERR) << id;
    // The autofill lists are the shell's to fill.
    for (int id : {101, 102, 103, 117, 119})
        EXPECT_EQ(SendMessageA(form.Control(id), CB_GETCOUNT, 0, 0), 0) << id;
}

TEST(FormLayoutTest, FormStartsWithBookLabelsAndNoFileInTheStatusBar) {
    FormWindow form;
    for (int i = 0; i < KIND_LABEL_COUNT; ++i)
        EXPECT_EQ(TextOf(form.Control(FIRST_KIND_LABEL_ID + i)), bookLabelSet[i]);

    EXPECT_STRCASEEQ(ClassOf(hStatusBar).c_str(), STATUSCLASSNAMEA);
    EXPECT_EQ(GetDlgCtrlID(hStatusBar), IDC_STATUSBAR);
    EXPECT_EQ(GetWindowLongA(hStatusBar, GWL_STYLE) & SBARS_SIZEGRIP, 0);
    char text[100] = "";
    SendMessageA(hStatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "No File!");
    EXPECT_EQ(SendMessageA(hStatusBar, SB_GETPARTS, 0, 0), 1);
}

struct ExpectedButton {
    BYTE style;
    int image;
    int command;
};

TEST(FormLayoutTest, ToolbarHoldsTheTabledButtonsAndFourteenImages) {
    FormWindow form;
    const ExpectedButton expected[] = {
        {TBSTYLE_BUTTON, 0, 30},     {TBSTYLE_BUTTON, 1, 2},  {TBSTYLE_BUTTON, 2, 3},
        {TBSTYLE_SEP, 0, 0},         {TBSTYLE_BUTTON, 3, 4},  {TBSTYLE_BUTTON, 4, 5},
        {TBSTYLE_BUTTON, 5, 6},      {TBSTYLE_SEP, 0, 0},     {TBSTYLE_CHECKGROUP, 6, 15},
        {TBSTYLE_CHECKGROUP, 8, 17}, {TBSTYLE_SEP, 0, 0},     {TBSTYLE_BUTTON, 9, 7},
        {TBSTYLE_BUTTON, 10, 11},    {TBSTYLE_BUTTON, 11, 9}, {TBSTYLE_SEP, 0, 0},
        {TBSTYLE_BUTTON, 12, 10},    {TBSTYLE_SEP, 0, 0},     {TBSTYLE_BUTTON, 13, 31},
    };
    EXPECT_EQ(GetDlgCtrlID(hToolbar), IDC_TOOLBAR);
    ASSERT_EQ(SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0), 18);
    for (int i = 0; i < 18; ++i) {
        TBBUTTON button = {};
        SendMessageA(hToolbar, TB_GETBUTTON, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&button));
        SCOPED_TRACE(testing::Message() << "position " << i + 1);
        EXPECT_EQ(button.fsStyle, expected[i].style);
        EXPECT_EQ(button.idCommand, expected[i].command);
        if (expected[i].style != TBSTYLE_SEP) {
            EXPECT_EQ(button.iBitmap, expected[i].image);
            EXPECT_EQ(button.fsState, TBSTATE_ENABLED);
        }
    }
    // Command 16 keeps its image, 7, though no button shows it.
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(hToolbar, TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 14);
}

// The colours of a 16 x 16 picture drawn on white, row by row.
template <typename Draw> std::vector<COLORREF> Pixels(Draw draw) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, 16, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    draw(dc);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TEST(FormLayoutTest, EachToolbarImageIsTheBitmapOfItsIndex) {
    FormWindow form;
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(hToolbar, TB_GETIMAGELIST, 0, 0));
    ASSERT_EQ(ImageList_GetImageCount(images), 14);
    for (int index = 0; index < 14; ++index) {
        // The toolbar maps the standard greys, black and white to the system's colours.
        HBITMAP bitmap = CreateMappedBitmap(hInstance, IDB_FIRST_TOOL + index, 0, nullptr, 0);
        ASSERT_NE(bitmap, nullptr) << index;
        std::vector<COLORREF> resource = Pixels([bitmap](HDC dc) {
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(source, bitmap);
            BitBlt(dc, 0, 0, 16, 16, source, 0, 0, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        });
        std::vector<COLORREF> shown = Pixels(
            [images, index](HDC dc) { ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL); });
        DeleteObject(bitmap);
        // and shows the button face colour as transparent.
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        int differing = 0;
        for (size_t i = 0; i < resource.size(); ++i)
            if (resource[i] != face && resource[i] != shown[i]) ++differing;
        EXPECT_EQ(differing, 0) << "image " << index;
    }
}

bool IsChecked(int command) {
    return SendMessageA(hToolbar, TB_ISBUTTONCHECKED, static_cast<WPARAM>(command), 0) > 0;
}

TEST(FormLayoutTest, KindButtonsFormOneCheckGroupThatStartsUnchecked) {
    FormWindow form;
    EXPECT_FALSE(IsChecked(IDT_BOOK));
    EXPECT_FALSE(IsChecked(IDT_MOVIE));
    EXPECT_FALSE(IsChecked(IDT_MUSIC));
    SendMessageA(hToolbar, TB_CHECKBUTTON, IDT_BOOK, MAKELPARAM(TRUE, 0));
    EXPECT_TRUE(IsChecked(IDT_BOOK));
    SendMessageA(hToolbar, TB_CHECKBUTTON, IDT_MOVIE, MAKELPARAM(TRUE, 0));
    EXPECT_TRUE(IsChecked(IDT_MOVIE));
    EXPECT_FALSE(IsChecked(IDT_BOOK));
}

} // namespace

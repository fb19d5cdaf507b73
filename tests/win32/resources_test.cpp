// The resources of Quirebook.exe as the program and the shell load them: the
// menu the command table drives, the toolbar bitmaps, the icon groups and the
// About box.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "resource.h"

namespace {

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

std::string MenuText(HMENU menu, UINT position) {
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// Colour bits of a bitmap as 32-bit pixels, for comparing pictures.
std::vector<DWORD> Pixels(HBITMAP bitmap, int size) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(size * size);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, size, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return pixels;
}

std::vector<DWORD> IconPixels(HICON icon, int size) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return {};
    std::vector<DWORD> pixels = Pixels(info.hbmColor, size);
    std::vector<DWORD> mask = Pixels(info.hbmMask, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    pixels.insert(pixels.end(), mask.begin(), mask.end());
    return pixels;
}

TEST(Resources, MenuMatchesTheCommandTable) {
    struct Item {
        const char* text; // nullptr for a separator
        UINT id;
    };
    const std::vector<std::pair<std::string, std::vector<Item>>> expected = {
        {"File",
         {{"New", IDM_FILE_NEW},
          {"Open", IDM_FILE_OPEN},
          {"Close", IDM_FILE_CLOSE},
          {nullptr, 0},
          {"Save", IDM_FILE_SAVE},
          {"Export", IDM_FILE_EXPORT},
          {nullptr, 0},
          {"Exit", IDM_FILE_EXIT}}},
        {"Edit",
         {{"Add", IDM_EDIT_ADD},
          {"Copy", IDM_EDIT_COPY},
          {"Delete", IDM_EDIT_DELETE},
          {"Sort", IDM_EDIT_SORT},
          {"Name", IDM_EDIT_NAME},
          {nullptr, 0},
          {"Edit AutoFill", IDM_EDIT_AUTOFILL},
          {"Reload AutoFill", IDM_RELOAD_AUTOFILL}}},
        {"View",
         {{"Goto", IDM_VIEW_GOTO}, {"Next", IDM_VIEW_NEXT}, {"Previous", IDM_VIEW_PREVIOUS}}},
        {"Help",
         {{"Help", IDM_HELP_HELP},
          {"Open Data Dir", IDM_HELP_DATA_DIR},
          {"About", IDM_HELP_ABOUT}}},
    };
    HMENU menu = LoadMenuA(Module(), "Menu");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size()));
    for (UINT m = 0; m < expected.size(); ++m) {
        EXPECT_EQ(MenuText(menu, m), expected[m].first);
        HMENU popup = GetSubMenu(menu, m);
        const std::vector<Item>& items = expected[m].second;
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(items.size())) << expected[m].first;
        for (UINT i = 0; i < items.size(); ++i) {
            SCOPED_TRACE(expected[m].first + " item " + std::to_string(i));
            if (!items[i].text) {
                EXPECT_TRUE(GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR);
                continue;
            }
            EXPECT_EQ(MenuText(popup, i), items[i].text);
            EXPECT_EQ(GetMenuItemID(popup, i), items[i].id);
        }
    }
    DestroyMenu(menu);
}

TEST(Resources, ToolbarBitmapsAreDistinct16By16PicturesOnTheButtonFace) {
    const DWORD buttonFace = 0xC0C0C0; // the grey the toolbar maps to the button face
    std::set<std::vector<DWORD>> pictures;
    for (int id = IDB_FIRST_TOOL; id <= IDB_LAST_TOOL; ++id) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(id));
        ASSERT_NE(bitmap, nullptr);
        BITMAP header = {};
        GetObjectA(bitmap, sizeof header, &header);
        EXPECT_EQ(header.bmWidth, 16);
        EXPECT_EQ(header.bmHeight, 16);
        std::vector<DWORD> pixels = Pixels(bitmap, 16);
        DeleteObject(bitmap);
        int background = 0;
        for (DWORD pixel : pixels) background += (pixel & 0xFFFFFF) == buttonFace;
        EXPECT_GT(background, 0) << "no button-face background";
        EXPECT_LT(background, 200) << "hardly any picture";
        pictures.insert(pixels);
    }
    EXPECT_EQ(pictures.size(), static_cast<size_t>(IDB_LAST_TOOL - IDB_FIRST_TOOL + 1));
}

TEST(Resources, IconGroupsHoldA16And32Image) {
    for (int group : {IDI_BOOKSHELF, IDI_HOURGLASS, IDI_RECORD_FILE}) {
        HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(group), RT_GROUP_ICON);
        ASSERT_NE(found, nullptr) << group;
        auto* directory = static_cast<BYTE*>(LockResource(LoadResource(Module(), found)));
        for (int size : {16, 32}) {
            SCOPED_TRACE("icon " + std::to_string(group) + " at " + std::to_string(size));
            // The image the system picks for this size must be drawn at it, not scaled.
            int image = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, 0);
            HRSRC icon = FindResourceA(Module(), MAKEINTRESOURCEA(image), RT_ICON);
            ASSERT_NE(icon, nullptr);
            auto* header =
                static_cast<BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), icon)));
            EXPECT_EQ(header->biWidth, size);
            EXPECT_EQ(header->biHeight, 2 * size); // colour and mask
            EXPECT_EQ(header->biBitCount, 4);
        }
    }
}

TEST(Resources, ShellIconIndex2IsTheRecordFileIcon) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_EQ(ExtractIconExA(path, -1, nullptr, nullptr, 0), 3u);
    HICON large = nullptr;
    ASSERT_EQ(ExtractIconExA(path, 2, &large, nullptr, 1), 1u);
    HICON recordFile = static_cast<HICON>(
        LoadImageA(Module(), MAKEINTRESOURCEA(IDI_RECORD_FILE), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(recordFile, nullptr);
    EXPECT_EQ(IconPixels(large, 32), IconPixels(recordFile, 32));
    DestroyIcon(large);
    DestroyIcon(recordFile);
}

INT_PTR CALLBACK AcceptDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(Resources, AboutBoxShowsNameVersionDescriptionAndClose) {
    HWND about =
        CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AcceptDialog, 0);
    ASSERT_NE(about, nullptr);
    char text[64] = {};
    GetWindowTextA(about, text, sizeof text);
    EXPECT_STREQ(text, "About Quirebook");
    std::set<std::string> texts;
    int icons = 0;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        GetWindowTextA(child, text, sizeof text);
        texts.insert(text);
        bool isIcon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        icons += isIcon && SendMessageA(child, STM_GETICON, 0, 0);
    }
    EXPECT_TRUE(texts.count("Quirebook 1.9"));
    EXPECT_TRUE(texts.count("Book and Movie Database"));
    EXPECT_EQ(icons, 1);
    // Close is the Cancel button, so Escape and the close box end the box as it does.
    GetDlgItemTextA(about, IDCANCEL, text, sizeof text);
    EXPECT_STREQ(text, "Close");
    DestroyWindow(about);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

} // namespace

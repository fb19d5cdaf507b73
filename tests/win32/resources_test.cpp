// The resources of Quirebook.exe as the program and the shell load them.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "resource.h"

namespace {

const HINSTANCE module = GetModuleHandleA(nullptr);

std::string MenuText(HMENU menu, UINT position) {
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// A bitmap's colour bits as 32-bit pixels, for comparing pictures.
std::vector<DWORD> Pixels(HBITMAP bitmap, int size) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(size * size);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, size, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return pixels;
}

TEST(Resources, MenuMatchesTheCommandTable) {
    HMENU menu = LoadMenuA(module, "Menu");
    std::string texts;
    std::vector<UINT> ids;
    for (int m = 0; m < GetMenuItemCount(menu); ++m) {
        HMENU popup = GetSubMenu(menu, m);
        texts += MenuText(menu, m) + ":";
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            bool separator = GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR;
            texts += separator ? "|-" : "|" + MenuText(popup, i);
            if (!separator) ids.push_back(GetMenuItemID(popup, i));
        }
        texts += "\n";
    }
    EXPECT_EQ(texts, "File:|New|Open|Close|-|Save|Export|-|Exit\n"
                     "Edit:|Add|Copy|Delete|Sort|Name|-|Edit AutoFill|Reload AutoFill\n"
                     "View:|Goto|Next|Previous\nHelp:|Help|Open Data Dir|About\n");
    EXPECT_EQ(ids, (std::vector<UINT>{IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_CLOSE, IDM_FILE_SAVE,
                                      IDM_FILE_EXPORT, IDM_FILE_EXIT, IDM_EDIT_ADD, IDM_EDIT_COPY,
                                      IDM_EDIT_DELETE, IDM_EDIT_SORT, IDM_EDIT_NAME,
                                      IDM_EDIT_AUTOFILL, IDM_RELOAD_AUTOFILL, IDM_VIEW_GOTO,
                                      IDM_VIEW_NEXT, IDM_VIEW_PREVIOUS, IDM_HELP_HELP,
                                      IDM_HELP_DATA_DIR, IDM_HELP_ABOUT}));
    DestroyMenu(menu);
}

TEST(Resources, ToolbarBitmapsAreDistinct16By16PicturesOnTheButtonFace) {
    std::set<std::vector<DWORD>> pictures;
    for (int id = IDB_FIRST_TOOL; id <= IDB_LAST_TOOL; ++id) {
        HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
        BITMAP header = {};
        ASSERT_TRUE(GetObjectA(bitmap, sizeof header, &header)) << id;
        EXPECT_EQ(std::make_pair(header.bmWidth, header.bmHeight), std::make_pair(16L, 16L)) << id;
        std::vector<DWORD> pixels = Pixels(bitmap, 16);
        DeleteObject(bitmap);
        // The grey the toolbar maps to the button face, around a picture.
        int face = 0;
        for (DWORD pixel : pixels) face += (pixel & 0xFFFFFF) == 0xC0C0C0;
        EXPECT_TRUE(face > 0 && face < 200) << id << ": " << face;
        pictures.insert(pixels);
    }
    EXPECT_EQ(pictures.size(), static_cast<size_t>(IDB_LAST_TOOL - IDB_FIRST_TOOL + 1));
}

TEST(Resources, IconsHoldA16And32ImageAndTheShellsThirdIsTheRecordFile) {
    for (int group : {IDI_BOOKSHELF, IDI_HOURGLASS, IDI_RECORD_FILE}) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(group), RT_GROUP_ICON);
        ASSERT_NE(found, nullptr) << group;
        auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, found)));
        for (int size : {16, 32}) {
            // The image the system picks for this size must be drawn at it, not scaled.
            int image = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, 0);
            HRSRC icon = FindResourceA(module, MAKEINTRESOURCEA(image), RT_ICON);
            ASSERT_NE(icon, nullptr) << group << " at " << size;
            auto* header = static_cast<BITMAPINFOHEADER*>(LockResource(LoadResource(module, icon)));
            EXPECT_EQ(std::make_pair(header->biWidth, header->biHeight),
                      std::make_pair(LONG(size), LONG(2 * size)))
                << group; // colour and mask
            EXPECT_EQ(header->biBitCount, 4) << group << " at " << size;
        }
    }
    // Files of the program are shown with icon index 2.
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    HICON shown = nullptr;
    EXPECT_EQ(ExtractIconExA(path, -1, nullptr, nullptr, 0), 3u);
    ASSERT_EQ(ExtractIconExA(path, 2, &shown, nullptr, 1), 1u);
    HICON recordFile = static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(IDI_RECORD_FILE), IMAGE_ICON, 32, 32, 0));
    ICONINFO shownInfo = {}, recordFileInfo = {};
    ASSERT_TRUE(GetIconInfo(shown, &shownInfo) && GetIconInfo(recordFile, &recordFileInfo));
    EXPECT_EQ(Pixels(shownInfo.hbmColor, 32), Pixels(recordFileInfo.hbmColor, 32));
    EXPECT_EQ(Pixels(shownInfo.hbmMask, 32), Pixels(recordFileInfo.hbmMask, 32));
}

INT_PTR CALLBACK AcceptDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(Resources, AboutBoxShowsNameVersionDescriptionAndClose) {
    HWND about = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AcceptDialog, 0);
    std::string texts;
    char text[64] = {};
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        GetWindowTextA(child, text, sizeof text);
        bool icon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        texts +=
            icon && SendMessageA(child, STM_GETICON, 0, 0) ? "(icon)|" : text + std::string("|");
    }
    EXPECT_EQ(texts, "(icon)|Quirebook 1.9|Book and Movie Database|Close|");
    // Close is the Cancel button, so Escape and the close box end the box as it does.
    GetDlgItemTextA(about, IDCANCEL, text, sizeof text);
    EXPECT_STREQ(text, "Close");
    DestroyWindow(about);
}

} // namespace

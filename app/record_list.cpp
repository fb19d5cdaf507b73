#include "record_list.h"

#include "collection.h"
#include "field_catalogue.h"
#include "record_file.h"
#include "record_rows.h"
#include "resource.h"
#include "text_routines.h"
#include "texts.h"

#include <commctrl.h>

#include <algorithm>
#include <new>

namespace {

// Column widths in pixels; the title takes what the others leave.
constexpr int COLUMN_WIDTHS[COLUMN_COUNT] = {48, 0, 110, 52};
constexpr int MIN_TITLE_WIDTH = 60;
constexpr POINT MIN_SIZE = {240, 160};

struct RecordList {
    RecordRows rows;
    uint32_t shown; // the ordinal of the record the form shows
};

RecordList& ListOf(HWND dialog) {
    return *reinterpret_cast<RecordList*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HWND ViewOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_RECORD_LIST);
}

int SelectedRow(HWND view) {
    return static_cast<int>(
        SendMessageA(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// The one selected row, with the focus, scrolled into view.
void SelectRow(HWND view, int row) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (row < 0) return;
    item.state = item.stateMask;
    SendMessageA(view, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageA(view, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void AddColumns(HWND view) {
    for (int column = 0; column < COLUMN_COUNT; ++column) {
        LVCOLUMNA heading = {};
        heading.mask = LVCF_TEXT | LVCF_WIDTH;
        heading.cx = COLUMN_WIDTHS[column];
        heading.pszText = const_cast<char*>(TEXT_LIST_COLUMNS[column]);
        SendMessageA(view, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(&heading));
    }
}

// The list fills the window; its title column takes the width the others leave.
void OnSize(HWND dialog, int width, int height) {
    HWND view = ViewOf(dialog);
    MoveWindow(view, 0, 0, width, height, TRUE);
    int title = width - GetSystemMetrics(SM_CXVSCROLL) - GetSystemMetrics(SM_CXEDGE) * 2;
    for (int column = 0; column < COLUMN_COUNT; ++column) title -= COLUMN_WIDTHS[column];
    SendMessageA(view, LVM_SETCOLUMNWIDTH, COLUMN_TITLE,
                 MAKELPARAM(std::max(title, MIN_TITLE_WIDTH), 0));
}

// The rows are read from the collection as they are drawn: the list holds
// no copy of them. The window opens over the main window, as large as it.
void OnInitDialog(HWND dialog, RecordList& list) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&list));
    HWND view = ViewOf(dialog);
    SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddColumns(view);
    SendMessageA(view, LVM_SETITEMCOUNT, list.rows.order.size(), 0);
    RECT owner;
    GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
    MoveWindow(dialog, owner.left, owner.top, owner.right - owner.left, owner.bottom - owner.top,
               FALSE);
    SelectRow(view, RowOf(list.rows, list.shown));
    SetFocus(view);
}

void FillCell(const RecordRows& rows, LVITEMA& item) {
    if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0 || item.iItem < 0 ||
        static_cast<size_t>(item.iItem) >= rows.order.size() || item.iSubItem < 0 ||
        item.iSubItem >= COLUMN_COUNT)
        return;
    const uint32_t field = ColumnField(item.iSubItem);
    FieldValue value;
    if (field) value = ReadField(rows.file, RowSlot(rows, item.iItem), field);
    char number[12];
    const char* text = value.text;
    if (item.iSubItem == COLUMN_NUMBER) {
        NumberToDecimal(static_cast<int32_t>(RowOrdinal(rows, item.iItem)), number);
        text = number;
    } else if (item.iSubItem == COLUMN_KIND) {
        text = TEXT_KINDS[KindOf(value.number) - 1];
    }
    CopyCount(text, item.pszText,
              std::min(TextLength(text), static_cast<uint32_t>(item.cchTextMax - 1)));
}

// Typing in the list: the row whose title begins with what was typed. Wine
// sends the wide form of the notification to an ANSI window too.
LRESULT FindRow(RecordRows& rows, const NMHDR* header) {
    const auto* find = reinterpret_cast<const NMLVFINDITEMA*>(header);
    char typed[MAX_PATH];
    if (!find->lvfi.psz) return -1;
    if (header->code == LVN_ODFINDITEMA)
        CopyCount(find->lvfi.psz, typed,
                  std::min<uint32_t>(TextLength(find->lvfi.psz), MAX_PATH - 1));
    else if (!WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(find->lvfi.psz), -1, typed,
                                  sizeof typed, nullptr, nullptr))
        return -1;
    return FindTitleRow(rows, find->iStart, typed);
}

// A heading click orders the rows; the selected record stays selected.
void OrderByColumn(HWND view, RecordRows& rows, int column) {
    int selected = SelectedRow(view);
    uint32_t ordinal = selected >= 0 ? RowOrdinal(rows, selected) : 0;
    if (!OrderRows(rows, column)) return;
    SelectRow(view, ordinal ? RowOf(rows, ordinal) : -1);
    InvalidateRect(view, nullptr, FALSE);
}

// The answer to a notification, or false when it is none of the list's.
bool OnNotify(HWND dialog, const NMHDR* header, LRESULT& answer) {
    if (header->idFrom != IDC_RECORD_LIST) return false;
    RecordRows& rows = ListOf(dialog).rows;
    answer = 0;
    switch (header->code) {
    case LVN_GETDISPINFOA:
        FillCell(rows, reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(header))->item);
        return true;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW:
        answer = FindRow(rows, header);
        return true;
    case LVN_COLUMNCLICK:
        OrderByColumn(header->hwndFrom, rows,
                      reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
        return true;
    case NM_DBLCLK: {
        int row = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
        if (row >= 0) EndDialog(dialog, RowOrdinal(rows, row));
        return true;
    }
    }
    return false;
}

INT_PTR CALLBACK RecordListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInitDialog(dialog, *reinterpret_cast<RecordList*>(lParam));
        return FALSE; // the focus is set
    }
    if (message == WM_GETMINMAXINFO) {
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = MIN_SIZE;
        return TRUE;
    }
    if (!GetWindowLongPtrA(dialog, DWLP_USER)) return FALSE;
    switch (message) {
    case WM_SIZE:
        OnSize(dialog, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_NOTIFY: {
        LRESULT answer;
        if (!OnNotify(dialog, reinterpret_cast<const NMHDR*>(lParam), answer)) return FALSE;
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, answer);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            int row = SelectedRow(ViewOf(dialog));
            EndDialog(dialog, row >= 0 ? RowOrdinal(ListOf(dialog).rows, row) : 0);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

uint32_t PickFromRecordList(HWND owner, const Collection& collection) {
    RecordList list;
    try {
        list.rows = ListRecords(collection.hRecordFile);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    list.shown = static_cast<uint32_t>(collection.currentNumber);
    auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    INT_PTR picked = DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_RECORD_LIST), owner,
                                     RecordListProc, reinterpret_cast<LPARAM>(&list));
    return picked > 0 ? static_cast<uint32_t>(picked) : 0;
}

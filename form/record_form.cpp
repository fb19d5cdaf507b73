#include "record_form.h"

#include "field_catalogue.h"
#include "main_form.h"
#include "price.h"
#include "record_file.h"
#include "resource.h"
#include "shell_state.h"
#include "text_routines.h"

#include <commctrl.h>

namespace {

// The most a control's text is read with, terminator included.
constexpr int CONTROL_TEXT_LIMIT = 1000;

constexpr int PRICE_FIELD = 10;
constexpr int STATUS_FIELD = 16;
constexpr int FIRST_READING_FIELD = 12;
constexpr int LAST_READING_FIELD = 14;

int ControlId(uint32_t field) {
    return FIRST_FIELD_CONTROL + static_cast<int>(field);
}

bool IsNumberBox(uint32_t field) {
    return field == 8 || field == 9 || field == 15;
}
bool IsList(uint32_t field) {
    return (field >= FIRST_READING_FIELD && field <= LAST_READING_FIELD) || field == STATUS_FIELD;
}

// An index outside the list must leave no selection, which some combo boxes
// only do when asked for -1 itself.
void SelectListItem(int id, uint32_t index) {
    LRESULT count = SendDlgItemMessageA(hMainWnd, id, CB_GETCOUNT, 0, 0);
    bool inList = count > 0 && index < static_cast<uint64_t>(count);
    SendDlgItemMessageA(hMainWnd, id, CB_SETCURSEL, inList ? index : static_cast<WPARAM>(-1), 0);
}

uint32_t SelectedListItem(int id) {
    return static_cast<uint32_t>(SendDlgItemMessageA(hMainWnd, id, CB_GETCURSEL, 0, 0));
}

// Only a positive answer means checked: a command without a button answers -1.
bool IsKindChecked(int command) {
    return SendMessageA(hToolbar, TB_ISBUTTONCHECKED, static_cast<WPARAM>(command), 0) > 0;
}

// A field the file does not have shows as empty, not as the previous field's value.
void ReadRecordField(uint32_t field) {
    numberValue = 0;
    textValue[0] = '\0';
    ReadField(hRecordFile, currentRecord, field);
}

bool IsRecordShown() {
    return hRecordFile != nullptr && currentRecord != -1;
}

} // namespace

void ClearRecordForm() {
    for (uint32_t field = 1; field < KIND_FIELD; ++field)
        SetDlgItemTextA(hMainWnd, ControlId(field), "");
    for (int field = FIRST_READING_FIELD; field <= LAST_READING_FIELD; ++field)
        SelectListItem(ControlId(field), fieldCatalogue[field].blankValue);
    SelectListItem(ControlId(STATUS_FIELD), fieldCatalogue[STATUS_FIELD].blankValue);
}

void ShowRecord() {
    ClearRecordForm();
    if (!IsRecordShown()) return;

    ReadRecordField(KIND_FIELD);
    SetKindLabels(numberValue);
    SendMessageA(hToolbar, TB_CHECKBUTTON, numberValue == KIND_BOOK ? IDT_BOOK : IDT_MOVIE,
                 MAKELPARAM(TRUE, 0));

    for (uint32_t field = 1; field < KIND_FIELD; ++field) {
        ReadRecordField(field);
        int id = ControlId(field);
        if (field == PRICE_FIELD) {
            FormatPrice(numberValue, textValue);
            SetDlgItemTextA(hMainWnd, id, textValue);
        } else if (IsNumberBox(field)) {
            SetDlgItemInt(hMainWnd, id, numberValue, FALSE);
        } else if (IsList(field)) {
            SelectListItem(id, numberValue);
        } else {
            SetDlgItemTextA(hMainWnd, id, textValue);
        }
    }
}

void StoreRecord() {
    if (!IsRecordShown()) return;

    if (IsKindChecked(IDT_BOOK))
        numberValue = KIND_BOOK;
    else if (IsKindChecked(IDT_MUSIC))
        numberValue = KIND_MUSIC;
    else
        numberValue = KIND_MOVIE;
    WriteField(hRecordFile, currentRecord, KIND_FIELD);

    for (uint32_t field = 1; field < KIND_FIELD; ++field) {
        int id = ControlId(field);
        if (field == PRICE_FIELD) {
            GetDlgItemTextA(hMainWnd, id, textValue, CONTROL_TEXT_LIMIT);
            numberValue = ParsePrice(textValue);
        } else if (IsNumberBox(field)) {
            numberValue = GetDlgItemInt(hMainWnd, id, nullptr, FALSE);
        } else if (IsList(field)) {
            numberValue = SelectedListItem(id);
        } else {
            GetDlgItemTextA(hMainWnd, id, textValue, CONTROL_TEXT_LIMIT);
        }
        WriteField(hRecordFile, currentRecord, field);
    }
}

void SetKindLabels(uint32_t kind) {
    const char* const* labels = kind == KIND_BOOK ? bookLabelSet : movieLabelSet;
    for (int i = 0; i < KIND_LABEL_COUNT; ++i)
        SetDlgItemTextA(hMainWnd, FIRST_KIND_LABEL_ID + i, labels[i]);
}

void UpdateStatusLine() {
    char text[40];
    if (hRecordFile == nullptr) {
        CopyText("No File!", text);
    } else if (recordCount == 0) {
        CopyText("No Records!", text);
    } else {
        char number[12];
        CopyText("Record ", text);
        NumberToDecimal(currentNumber, number);
        AppendText(text, number);
        AppendText(text, " of ");
        NumberToDecimal(recordCount, number);
        AppendText(text, number);
    }
    SendMessageA(hStatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

#include "record_form.h"

#include "collection.h"
#include "field_catalogue.h"
#include "main_form.h"
#include "price.h"
#include "record_file.h"
#include "resource.h"
#include "text_routines.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace {

// The most a control's text is read with, terminator included.
constexpr int CONTROL_TEXT_LIMIT = 1000;

// An index outside the list must leave no selection, which some combo boxes
// only do when asked for -1 itself.
void SelectListItem(HWND window, int id, uint32_t index) {
    LRESULT count = SendDlgItemMessageA(window, id, CB_GETCOUNT, 0, 0);
    bool inList = count > 0 && index < static_cast<uint64_t>(count);
    SendDlgItemMessageA(window, id, CB_SETCURSEL, inList ? index : static_cast<WPARAM>(-1), 0);
}

// Only a positive answer means checked: a command without a button answers -1.
bool IsKindChecked(HWND window, int command) {
    return SendMessageA(Toolbar(window), TB_ISBUTTONCHECKED, static_cast<WPARAM>(command), 0) > 0;
}

// A field the file does not have shows as empty: it reads as 0 and "".
void ShowField(HWND window, uint32_t field, const FieldValue& value) {
    int id = FieldControlId(field);
    switch (fieldCatalogue[field].holding) {
    case HELD_PRICE: {
        char price[PRICE_TEXT_SIZE];
        FormatPrice(value.number, price);
        SetDlgItemTextA(window, id, price);
        break;
    }
    case HELD_NUMBER:
        SetDlgItemInt(window, id, value.number, FALSE);
        break;
    case HELD_LIST:
        SelectListItem(window, id, value.number);
        break;
    case HELD_KIND:
        SetKindLabels(window, value.number);
        SendMessageA(Toolbar(window), TB_CHECKBUTTON,
                     value.number == KIND_BOOK ? IDT_BOOK : IDT_MOVIE, MAKELPARAM(TRUE, 0));
        break;
    default:
        SetDlgItemTextA(window, id, value.text);
    }
}

// A control that holds a number leaves the text empty, and one that holds a
// text the number 0.
FieldValue ReadControl(HWND window, uint32_t field) {
    FieldValue value;
    int id = FieldControlId(field);
    switch (fieldCatalogue[field].holding) {
    case HELD_PRICE:
        GetDlgItemTextA(window, id, value.text, CONTROL_TEXT_LIMIT);
        value.number = ParsePrice(value.text);
        break;
    case HELD_NUMBER:
        value.number = GetDlgItemInt(window, id, nullptr, FALSE);
        break;
    case HELD_LIST:
        value.number = static_cast<uint32_t>(SendDlgItemMessageA(window, id, CB_GETCURSEL, 0, 0));
        break;
    case HELD_KIND:
        value.number = CheckedKind(window);
        break;
    default:
        GetDlgItemTextA(window, id, value.text, CONTROL_TEXT_LIMIT);
    }
    return value;
}

// Whether the field already holds what storing value would leave in it: the
// same number, or the text cut to the field's width.
bool StoredAs(const Collection& collection, uint32_t field, const FieldValue& value) {
    FieldValue stored = ReadField(collection.hRecordFile, collection.currentRecord, field);
    uint32_t type = collection.hRecordFile->fields[field - 1].type;
    if (IsNumberField(type)) return stored.number == value.number;
    size_t kept = std::min<size_t>(std::strlen(value.text), FieldWidth(type));
    return std::strlen(stored.text) == kept && std::strncmp(stored.text, value.text, kept) == 0;
}

} // namespace

void ClearRecordForm(HWND window) {
    for (uint32_t field = 1; field < KIND_FIELD; ++field) {
        SetDlgItemTextA(window, FieldControlId(field), "");
        if (fieldCatalogue[field].holding == HELD_LIST)
            SelectListItem(window, FieldControlId(field), fieldCatalogue[field].blankValue);
    }
}

void ShowRecord(HWND window, const Collection& collection) {
    ClearRecordForm(window);
    if (!IsRecordShown(collection)) return;
    for (uint32_t n = 0; n < FIELD_COUNT; ++n) {
        uint32_t field = FieldInFormOrder(n);
        ShowField(window, field,
                  ReadField(collection.hRecordFile, collection.currentRecord, field));
    }
}

void StoreRecord(HWND window, Collection& collection) {
    if (!IsRecordShown(collection)) return;
    RecordFile* file = collection.hRecordFile;
    for (uint32_t n = 0; n < FIELD_COUNT; ++n) {
        uint32_t field = FieldInFormOrder(n);
        if (field > file->fieldCount) continue;
        FieldValue value = ReadControl(window, field);
        if (StoredAs(collection, field, value)) continue;
        WriteField(file, collection.currentRecord, field, value);
        collection.changesMade = true;
    }
}

void RefreshForm(HWND window, const Collection& collection) {
    ShowRecord(window, collection);
    UpdateStatusLine(window, collection);
}

uint32_t CheckedKind(HWND window) {
    return IsKindChecked(window, IDT_BOOK)    ? KIND_BOOK
           : IsKindChecked(window, IDT_MUSIC) ? KIND_MUSIC
                                              : KIND_MOVIE;
}

void SetKindLabels(HWND window, uint32_t kind) {
    for (uint32_t field = 1; field <= FIELD_COUNT; ++field) {
        const FieldInfo& info = fieldCatalogue[field];
        if (info.labelId > FIXED_LABEL_ID)
            SetDlgItemTextA(window, info.labelId,
                            kind == KIND_BOOK ? info.bookLabel : info.movieLabel);
    }
}

void UpdateStatusLine(HWND window, const Collection& collection) {
    char text[40];
    if (collection.hRecordFile == nullptr) {
        CopyText("No File!", text);
    } else if (collection.recordCount == 0) {
        CopyText("No Records!", text);
    } else {
        char number[12];
        CopyText("Record ", text);
        NumberToDecimal(collection.currentNumber, number);
        AppendText(text, number);
        AppendText(text, " of ");
        NumberToDecimal(collection.recordCount, number);
        AppendText(text, number);
    }
    SendMessageA(StatusBar(window), SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

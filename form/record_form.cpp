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

int ControlId(uint32_t field) {
    return FIRST_FIELD_CONTROL + static_cast<int>(field);
}

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

// A field the file does not have shows as empty, not as the previous field's value.
void ReadRecordField(const Collection& collection, uint32_t field) {
    numberValue = 0;
    textValue[0] = '\0';
    ReadField(collection.hRecordFile, collection.currentRecord, field);
}

// numberValue and textValue into the field's control.
void ShowField(HWND window, uint32_t field) {
    int id = ControlId(field);
    switch (fieldCatalogue[field].holding) {
    case HELD_PRICE:
        FormatPrice(numberValue, textValue);
        SetDlgItemTextA(window, id, textValue);
        break;
    case HELD_NUMBER:
        SetDlgItemInt(window, id, numberValue, FALSE);
        break;
    case HELD_LIST:
        SelectListItem(window, id, numberValue);
        break;
    case HELD_KIND:
        SetKindLabels(window, numberValue);
        SendMessageA(Toolbar(window), TB_CHECKBUTTON,
                     numberValue == KIND_BOOK ? IDT_BOOK : IDT_MOVIE, MAKELPARAM(TRUE, 0));
        break;
    default:
        SetDlgItemTextA(window, id, textValue);
    }
}

// The field's control into numberValue or textValue.
void ReadControl(HWND window, uint32_t field) {
    int id = ControlId(field);
    switch (fieldCatalogue[field].holding) {
    case HELD_PRICE:
        GetDlgItemTextA(window, id, textValue, CONTROL_TEXT_LIMIT);
        numberValue = ParsePrice(textValue);
        break;
    case HELD_NUMBER:
        numberValue = GetDlgItemInt(window, id, nullptr, FALSE);
        break;
    case HELD_LIST:
        numberValue = static_cast<uint32_t>(SendDlgItemMessageA(window, id, CB_GETCURSEL, 0, 0));
        break;
    case HELD_KIND:
        numberValue = CheckedKind(window);
        break;
    default:
        GetDlgItemTextA(window, id, textValue, CONTROL_TEXT_LIMIT);
    }
}

// Whether the field already holds what storing number or text would leave
// in it: the same number, or the text cut to the field's width.
bool StoredAs(const Collection& collection, uint32_t field, uint32_t number, const char* text) {
    ReadRecordField(collection, field);
    uint32_t type = collection.hRecordFile->fields[field - 1].type;
    if (IsNumberField(type)) return numberValue == number;
    size_t kept = std::min<size_t>(std::strlen(text), FieldWidth(type));
    return std::strlen(textValue) == kept && std::strncmp(textValue, text, kept) == 0;
}

} // namespace

void ClearRecordForm(HWND window) {
    for (uint32_t field = 1; field < KIND_FIELD; ++field) {
        SetDlgItemTextA(window, ControlId(field), "");
        if (fieldCatalogue[field].holding == HELD_LIST)
            SelectListItem(window, ControlId(field), fieldCatalogue[field].blankValue);
    }
}

void ShowRecord(HWND window, const Collection& collection) {
    ClearRecordForm(window);
    if (!IsRecordShown(collection)) return;
    for (uint32_t n = 0; n < FIELD_COUNT; ++n) {
        ReadRecordField(collection, FieldInFormOrder(n));
        ShowField(window, FieldInFormOrder(n));
    }
}

void StoreRecord(HWND window, Collection& collection) {
    if (!IsRecordShown(collection)) return;
    RecordFile* file = collection.hRecordFile;
    for (uint32_t n = 0; n < FIELD_COUNT; ++n) {
        uint32_t field = FieldInFormOrder(n);
        if (field > file->fieldCount) continue;
        ReadControl(window, field);
        uint32_t number = numberValue;
        char text[CONTROL_TEXT_LIMIT];
        CopyText(textValue, text);
        if (StoredAs(collection, field, number, text)) continue;
        numberValue = number;
        CopyText(text, textValue);
        WriteField(file, collection.currentRecord, field);
        collection.changesMade = 1;
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

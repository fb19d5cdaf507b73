// Any bytes as a record file: whatever opens must survive reading every field,
// navigating, searching, sorting, adding, writing and exporting; and records
// added at once must leave the bytes that adding them one by one leaves.
#include "csv_export.h"
#include "record_file.h"
#include "slot_capacity.h"
#include "sort_search.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Calls write with record n's value of each field: a number, and a text of varying length.
template <typename Write> static void EachValue(uint32_t n, uint32_t fields, Write write) {
    FieldValue value;
    for (uint32_t field = 1; field <= fields; ++field) {
        value.number = n * 2654435761u + field;
        size_t length = (n * 37 + field * 101) % (MAX_TEXT_FIELD_WIDTH + 20);
        std::memset(value.text, 'a' + field % 26, length);
        value.text[length] = '\0';
        write(field, value);
    }
}

static void CompareAddingAtOnce(const std::string& path, uint32_t count) {
    const std::string single = path + ".single", before = Bytes(path);
    std::ofstream(single, std::ios::binary) << before;
    RecordFile* atOnce = OpenRecordFile(path.c_str());
    RecordFile* oneByOne = OpenRecordFile(single.c_str());
    uint32_t fields = atOnce ? std::min(atOnce->fieldCount, 40u) : 0, n = 0;
    int32_t first = AddRecords(atOnce, count, [&](unsigned char* slot) {
        EachValue(n++, fields, [&](uint32_t field, const FieldValue& value) {
            PutField(atOnce, slot, field, value.number, value.text, TEXT_VALUE_SIZE);
        });
    });
    for (n = 0; first >= 0 && n < count; ++n) {
        int32_t slot = AddRecord(oneByOne);
        EachValue(n, fields, [&](uint32_t field, const FieldValue& value) {
            WriteField(oneByOne, slot, field, value);
        });
    }
    CloseRecordFile(atOnce);
    CloseRecordFile(oneByOne);
    if (Bytes(path) != (first >= 0 ? Bytes(single) : before)) std::abort();
    std::remove(single.c_str());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/dev/shm/quirebook-fuzz-" + std::to_string(getpid()) + ".ktl";
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return 0;
    std::fwrite(data, 1, size, out);
    std::fclose(out);
    RecordFile* file = OpenRecordFile(path.c_str());
    if (!file) return 0;
    // Runs stay short: the slot count of a damaged file can be large.
    for (int32_t slot = 0; slot < 64 && uint32_t(slot) < file->slotCount; ++slot)
        for (uint32_t field = 0; field <= file->fieldCount + 1 && field < 40; ++field)
            ReadField(file, slot, field);
    char name[COLLECTION_NAME_SIZE + 1];
    ReadCollectionName(file, name);
    int32_t first = NthRecord(file, 1);
    NextRecord(file, first);
    PreviousRecord(file, first);
    RecordOrdinal(file, first);
    FindFirstMatch(file, "a");
    if (file->slotCount <= 200) {
        SortRecords(file, 1);
        int32_t added = AddRecord(file);
        FieldValue wide;
        wide.number = UINT32_MAX;
        std::memset(wide.text, 'x', MAX_TEXT_FIELD_WIDTH);
        for (uint32_t field = 1; added >= 0 && field <= file->fieldCount && field < 40; ++field)
            WriteField(file, added, field, wide);
        CopyRecord(file, first, added);
        ExportCsv(file, (path + ".csv").c_str());
    }
    uint32_t slots = file->slotCount;
    CloseRecordFile(file);
    if (slots <= 200) CompareAddingAtOnce(path, 1 + size % 41);
    return 0;
}

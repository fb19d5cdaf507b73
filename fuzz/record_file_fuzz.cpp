// Any bytes as a record file: whatever opens must survive reading every field,
// navigating, searching, sorting, adding, writing and exporting.
#include "csv_export.h"
#include "record_file.h"
#include "slot_capacity.h"
#include "sort_search.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

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
    CloseRecordFile(file);
    return 0;
}

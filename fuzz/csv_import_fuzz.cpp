// libFuzzer harness: any bytes as a CSV file imported into a collection of one
// record. A failed import says why and leaves the collection's file as it
// was; a done one adds as many records as it says.
#include "collection.h"
#include "csv_import.h"
#include "field_catalogue.h"
#include "record_file.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string base = "/dev/shm/quirebook-fuzz-" + std::to_string(getpid());
    const std::string csv = base + ".csv", ktl = base + ".ktl";
    std::ofstream(csv, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
    Collection collection;
    if (!CreateCollection(collection, ktl.c_str(), "Fuzz") ||
        AddBlankRecord(collection, KIND_BOOK) < 0)
        std::abort();
    const std::string before = Bytes(ktl);
    ImportResult result = ImportCsv(collection, csv.c_str(), KIND_MOVIE);
    uint32_t records = CountRecords(collection.hRecordFile);
    bool done = result.outcome == IMPORT_DONE;
    if (done ? records != 1 + result.records || (result.records && !collection.recordsAdded)
             : records != 1 || result.records || !result.fault[0] || Bytes(ktl) != before)
        std::abort();
    CloseCollection(collection);
    return 0;
}

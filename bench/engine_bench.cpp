// Times the record file engine on collections of 1,000, 10,000 and 65,530
// slots at 50 % and 95 % use, beside what this machine needs to read the file
// once and to write it once (and, for the export, to read it once and write
// the CSV's bytes once), and beside SQLite on the same records in a 20-column
// table; then a CSV import of 65,530 records. Prints one Markdown table per
// collection, and one for the import.
//
//   engine_bench [--keep] [--import] [FOLDER]
//
// FOLDER (default bench-data) holds the files while it runs; --keep leaves
// them there; --import times the import alone. The sort's peak memory is
// measured in a process of its own.
#include "collection.h"
#include "csv_export.h"
#include "csv_import.h"
#include "field_catalogue.h"
#include "file_io.h"
#include "record_file.h"
#include "record_rows.h"
#include "slot_capacity.h"
#include "sort_search.h"

#include <sqlite3.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Row = std::vector<std::string>; // fields 1 to 20 as text, index 0 unused

constexpr const char* MISSING = "zzqx";       // in no record
constexpr const char* LAST_MARK = "Colophon"; // only in the last record

double Milliseconds(const std::function<void()>& operation) {
    Clock::time_point start = Clock::now();
    operation();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The median time of a few runs of an operation that changes nothing.
double Median(int runs, const std::function<void()>& operation) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(Milliseconds(operation));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

const char* Pick(std::mt19937& random, const std::vector<const char*>& words) {
    return words[random() % words.size()];
}

// Words joined by spaces until the text is about `length` characters long.
std::string Prose(std::mt19937& random, size_t length) {
    static const std::vector<const char*> words = {
        "a",     "quiet", "story", "of",   "river", "towns", "and",     "the",    "people",
        "who",   "kept",  "their", "old",  "maps",  "first", "edition", "signed", "worn",
        "cover", "with",  "notes", "from", "1987",  "gift",  "lent",    "to",     "Anna"};
    std::string text;
    while (text.size() < length) {
        if (!text.empty()) text += ' ';
        text += Pick(random, words);
    }
    return text;
}

// One realistic record: titles, names and comments of varying length.
Row MakeRow(std::mt19937& random) {
    static const std::vector<const char*> adjectives = {"Silent", "Last",   "Golden", "Hidden",
                                                        "Winter", "Broken", "Little", "Northern"};
    static const std::vector<const char*> nouns = {"Garden",  "Harbour", "Letters", "Orchard",
                                                   "Station", "Kingdom", "Mirror",  "Voyage"};
    static const std::vector<const char*> first = {"Maria", "John",  "Aiko",  "Pierre",
                                                   "Leila", "Tomas", "Grace", "Olu"};
    static const std::vector<const char*> last = {"Lindqvist", "Okafor", "Brennan", "Castillo",
                                                  "Nakamura",  "Dubois", "Haddad",  "Moreau"};
    static const std::vector<const char*> subjects = {"Fiction", "History", "Jazz",   "Drama",
                                                      "Poetry",  "Travel",  "Science"};
    Row row(21);
    row[1] = std::string("The ") + Pick(random, adjectives) + " " + Pick(random, nouns);
    if (random() % 3 == 0) row[1] += std::string(" of ") + Pick(random, nouns);
    row[2] = std::string(Pick(random, first)) + " " + Pick(random, last);
    row[3] = Pick(random, subjects);
    row[4] = std::to_string(1900 + random() % 125);
    row[5] = std::to_string(9780000000000ull + random() % 1000000000ull);
    row[6] = "2021-0" + std::to_string(1 + random() % 9) + "-1" + std::to_string(random() % 10);
    row[7] = random() % 4 == 0 ? Prose(random, 10 + random() % 30) : "";
    row[8] = std::to_string(random() % 20);
    row[9] = std::to_string(80 + random() % 900);
    row[10] = std::to_string(random() % 6000);
    row[11] =
        random() % 2 ? std::to_string(random() % 1000) + "." + std::to_string(random() % 99) : "";
    for (int f = 12; f <= 16; ++f) row[f] = std::to_string(random() % 5);
    row[17] = std::string("Shelf ") + static_cast<char>('A' + random() % 8);
    row[18] = Prose(random, random() % 4 == 0 ? 0 : random() % 400);
    row[19] = "";
    row[20] = std::to_string(1 + random() % 3);
    return row;
}

// A slot's bytes as the engine writes them: status, then each field at its
// offset, texts followed by zeros to their width.
void PutSlot(const RecordFile* file, const Row& row, uint32_t status, unsigned char* slot) {
    std::memset(slot, 0, file->recordSize);
    slot[0] = static_cast<unsigned char>(status);
    for (uint32_t f = 1; f <= file->fieldCount; ++f) {
        const FieldDefinition& field = file->fields[f - 1];
        unsigned char* at = slot + (field.offset - file->dataStart);
        if (IsNumberField(field.type)) {
            uint32_t number = static_cast<uint32_t>(std::stol(row[f]));
            for (uint32_t i = 0; i < FieldWidth(field.type); ++i)
                at[i] = (number >> (8 * i)) & 0xFF;
        } else {
            std::memcpy(at, row[f].data(), std::min<size_t>(row[f].size(), FieldWidth(field.type)));
        }
    }
}

struct BenchFile {
    uint32_t slots;
    uint32_t percent;
    std::string path;
    std::vector<Row> records; // the live records in slot order, for SQLite
    int32_t beforeGap = -1;   // the record before the run of free slots that ends at the last one
    uint32_t gap = 0;
};

// Lays out the collection: free slots (deleted records) spread evenly, then
// a run of up to 1,000 free slots, then the last record in the last slot.
void MakeCollection(BenchFile& c) {
    std::mt19937 random(c.slots + c.percent);
    uint32_t records = c.slots * c.percent / 100;
    c.gap = std::min<uint32_t>(1000, c.slots - records);
    uint32_t spread =
        c.slots - 1 - c.gap; // slots holding the first records and the other free ones
    RecordFile* file = CreateStandardRecordFile(c.path.c_str(), "Bench");
    std::vector<unsigned char> piece(static_cast<size_t>(1000) * file->recordSize);
    for (uint32_t first = 0; first < c.slots; first += 1000) {
        uint32_t count = std::min<uint32_t>(1000, c.slots - first);
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t s = first + i;
            // Bresenham: records - 1 records among the spread slots, evenly.
            bool live = s == c.slots - 1 || (s < spread && (s + 1) * (records - 1) / spread !=
                                                               s * (records - 1) / spread);
            Row row = MakeRow(random);
            if (s == c.slots - 1) row[18] += std::string(" ") + LAST_MARK;
            if (live) c.records.push_back(row);
            if (live && s < spread) c.beforeGap = static_cast<int32_t>(s);
            PutSlot(file, row, live ? SLOT_IN_USE : SLOT_DELETED, &piece[i * file->recordSize]);
        }
        IoWriteAt(file->io, file->dataStart + static_cast<uint64_t>(first) * file->recordSize,
                  piece.data(), count * file->recordSize);
    }
    unsigned char word[2] = {static_cast<unsigned char>(c.slots),
                             static_cast<unsigned char>(c.slots >> 8)};
    IoWriteAt(file->io, SLOT_COUNT_OFFSET, word, 2);
    CloseRecordFile(file);
}

uint64_t FileSize(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

// Reads a file once, or writes as many bytes over an existing file once, in 1 MiB pieces.
void Pass(IoFile* io, uint64_t size, bool writing) {
    static std::vector<unsigned char> piece(1u << 20, 1);
    for (uint64_t at = 0; at < size; at += piece.size()) {
        uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(piece.size(), size - at));
        if (writing)
            IoWriteAt(io, at, piece.data(), count);
        else
            IoReadAt(io, at, piece.data(), count);
    }
}

// What this machine needs to read the file at path once.
double ReadLimit(const std::string& path) {
    IoFile* in = IoOpenExisting(path.c_str());
    double read = Median(3, [&] { Pass(in, FileSize(path), false); });
    IoClose(in);
    return read;
}

// What this machine needs to write size bytes over an existing file once.
double WriteLimit(const std::string& scratch, uint64_t size) {
    IoFile* out = IoCreate(scratch.c_str());
    Pass(out, size, true);
    double write = Median(3, [&] { Pass(out, size, true); });
    IoClose(out);
    std::remove(scratch.c_str());
    return write;
}

// What this machine needs to write size bytes into a new file.
double NewFileLimit(const std::string& scratch, uint64_t size) {
    double fresh = Median(3, [&] {
        std::remove(scratch.c_str());
        IoFile* created = IoCreate(scratch.c_str());
        Pass(created, size, true);
        IoClose(created);
    });
    std::remove(scratch.c_str());
    return fresh;
}

void Sql(sqlite3* db, const std::string& statement) {
    char* error = nullptr;
    if (sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", error);
        sqlite3_free(error);
    }
}

bool IsTextField(uint32_t field) {
    return !IsNumberField(fieldCatalogue[field].type);
}

void MakeDatabase(const BenchFile& c, const std::string& path) {
    std::remove(path.c_str());
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string columns, marks;
    for (uint32_t f = 1; f <= 20; ++f) {
        columns +=
            (f > 1 ? ", c" : "c") + std::to_string(f) + (IsTextField(f) ? " TEXT" : " INTEGER");
        marks += f > 1 ? ", ?" : "?";
    }
    Sql(db, "CREATE TABLE books (" + columns + ")");
    Sql(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, ("INSERT INTO books VALUES (" + marks + ")").c_str(), -1, &insert,
                       nullptr);
    for (const Row& row : c.records) {
        for (int f = 1; f <= 20; ++f)
            if (IsTextField(f))
                sqlite3_bind_text(insert, f, row[f].c_str(), -1, SQLITE_STATIC);
            else
                sqlite3_bind_int(insert, f, std::stoi(row[f]));
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Sql(db, "COMMIT");
    sqlite3_close(db);
}

// Steps through a query; returns its rows, handing each to `row` when given.
int Query(sqlite3* db, const std::string& text,
          const std::function<void(sqlite3_stmt*)>& row = {}) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, text.c_str(), -1, &statement, nullptr);
    int rows = 0;
    for (; sqlite3_step(statement) == SQLITE_ROW; ++rows)
        if (row) row(statement);
    sqlite3_finalize(statement);
    return rows;
}

// The export's lines through SQLite's API: every field quoted, quotes doubled.
void ExportFromDatabase(sqlite3* db, const std::string& path) {
    FILE* out = std::fopen(path.c_str(), "wb");
    std::string line;
    Query(db, "SELECT * FROM books", [&](sqlite3_stmt* statement) {
        line.clear();
        for (int column = 0; column < 19; ++column) {
            line += '"';
            for (const unsigned char* p = sqlite3_column_text(statement, column); p && *p; ++p)
                line.append(*p == '"' ? 2 : 1, static_cast<char>(*p));
            line += "\",";
        }
        line += '\r';
        std::fwrite(line.data(), 1, line.size(), out);
    });
    std::fclose(out);
}

std::string SearchQuery(const char* text) {
    std::string query = "SELECT rowid FROM books WHERE ";
    for (uint32_t f = 1; f <= 20; ++f)
        if (IsTextField(f))
            query += (f > 1 ? " OR c" : "c") + std::to_string(f) + " LIKE '%" + text + "%'";
    return query;
}

// The peak memory of this process so far, in MB (the high-water mark of its
// own address space: a process started afresh counts nothing of its parent).
double PeakMegabytes() {
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    double kilobytes = 0;
    while (status && std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %lf", &kilobytes) == 1) break;
    if (status) std::fclose(status);
    return kilobytes / 1024;
}

// Sorts a copy of the file by its title in a process of its own and returns
// that process's peak memory in MB.
double SortPeakMegabytes(const char* program, const std::string& path) {
    std::string copy = path + ".sort";
    std::string command =
        "cp '" + path + "' '" + copy + "' && '" + program + "' --sort-peak '" + copy + "'";
    double peak = 0;
    if (FILE* child = popen(command.c_str(), "r")) {
        if (std::fscanf(child, "%lf", &peak) != 1) peak = 0;
        pclose(child);
    }
    std::remove(copy.c_str());
    return peak;
}

struct Line {
    std::string operation;
    double engine;
    double limit = 0; // the machine's limit for the same work, or 0
    const char* limitName = "";
    double sqlite = 0; // SQLite on the same work, or 0
};

void PrintTable(const BenchFile& c, uint64_t size, const std::vector<Line>& lines) {
    std::printf("\n### %u slots, %u %% used (%zu records, %.1f MB)\n\n", c.slots, c.percent,
                c.records.size(), size / 1e6);
    std::printf("| operation | Quirebook ms | limit ms | x limit | SQLite ms | x SQLite |\n");
    std::printf("|---|---:|---:|---:|---:|---:|\n");
    for (const Line& line : lines) {
        std::printf("| %s | %.3f |", line.operation.c_str(), line.engine);
        if (line.limit > 0)
            std::printf(" %.1f (%s) | %.2f |", line.limit, line.limitName,
                        line.engine / line.limit);
        else
            std::printf(" | |");
        if (line.sqlite > 0)
            std::printf(" %.1f | %.2f |\n", line.sqlite, line.engine / line.sqlite);
        else
            std::printf(" | |\n");
    }
}

void Measure(const char* program, BenchFile& c, const std::string& folder, bool keep) {
    MakeCollection(c);
    const uint64_t size = FileSize(c.path);
    const std::string scratch = folder + "/scratch.bin";
    const double read = ReadLimit(c.path), write = WriteLimit(scratch, size);
    std::vector<Line> lines;
    auto add = [&](const std::string& operation, double engine, double limit, const char* name,
                   double sqlite) {
        lines.push_back(Line{operation, engine, limit, name, sqlite});
    };

    const std::string database = folder + "/bench.sqlite";
    MakeDatabase(c, database);
    sqlite3* db = nullptr;
    double sqliteCount = Median(3, [&] {
        sqlite3_close(db);
        sqlite3_open(database.c_str(), &db);
        Query(db, "SELECT count(*) FROM books");
    });
    Sql(db, "PRAGMA synchronous = OFF");
    double sqliteMissing = Median(3, [&] { Query(db, SearchQuery(MISSING)); });
    double sqliteLast = Median(3, [&] { Query(db, SearchQuery(LAST_MARK)); });
    double sqliteExport = Median(3, [&] { ExportFromDatabase(db, folder + "/sqlite.csv"); });
    auto orderBy = [&](const char* column) {
        double time = Milliseconds([&] {
            Sql(db, std::string("CREATE TABLE sorted AS SELECT * FROM books ORDER BY ") + column);
        });
        Sql(db, "DROP TABLE sorted");
        return time;
    };
    double sqliteSortText = orderBy("c1");
    double sqliteSortNumber = orderBy("c9");
    sqlite3_close(db);

    RecordFile* file = nullptr;
    add("open (reads every status)",
        Median(3,
               [&] {
                   CloseRecordFile(file);
                   file = OpenRecordFile(c.path.c_str());
               }),
        read, "read", 0);
    uint32_t count = 0;
    add("count", Median(5, [&] { count = CountRecords(file); }), 0, "", sqliteCount);
    int32_t last = NthRecord(file, count);
    add("go to the last record, read its fields",
        Median(5,
               [&] {
                   int32_t slot = NthRecord(file, CountRecords(file));
                   RecordOrdinal(file, slot);
                   for (uint32_t f = 1; f <= file->fieldCount; ++f) ReadField(file, slot, f);
               }),
        0, "", 0);
    std::string across = " across " + std::to_string(c.gap) + " free slots";
    add("next" + across, Median(5, [&] { NextRecord(file, c.beforeGap); }), 0, "", 0);
    add("previous" + across, Median(5, [&] { PreviousRecord(file, last); }), 0, "", 0);
    add("record list: the rows of every record", Median(5, [&] { ListRecords(file); }), 0, "", 0);
    add("record list: the rows ordered by title",
        Median(3,
               [&] {
                   RecordRows rows = ListRecords(file);
                   OrderRows(rows, COLUMN_TITLE);
               }),
        read, "read", 0);
    int32_t found = 0;
    add("search that matches nothing", Median(3, [&] { found = FindFirstMatch(file, MISSING); }),
        read, "read", sqliteMissing);
    if (found != -1) std::fprintf(stderr, "%s was found in slot %d\n", MISSING, found);
    add("search that matches the last record",
        Median(3, [&] { found = FindFirstMatch(file, LAST_MARK); }), read, "read", sqliteLast);
    if (found != last)
        std::fprintf(stderr, "%s found in slot %d, not %d\n", LAST_MARK, found, last);
    const std::string csv = folder + "/export.csv";
    // The export's limit: one read of the record file and one write of the CSV's bytes.
    const double exporting = Median(3, [&] { ExportCsv(file, csv.c_str()); });
    add("CSV export", exporting, read + WriteLimit(scratch, FileSize(csv)), "read + CSV write",
        sqliteExport);
    std::remove(csv.c_str());
    int32_t ordinal = 0;
    add("delete", Median(5, [&] { DeleteRecord(file, NthRecord(file, ++ordinal)); }), 0, "", 0);

    // The add grows the file at 95 % (unless the slots are at their limit)
    // and compacts and shrinks it at 50 %.
    std::mt19937 random(7);
    Row row = MakeRow(random);
    uint32_t slotsBefore = file->slotCount;
    double adding = Milliseconds([&] {
        int32_t slot = AddRecord(file);
        for (uint32_t f = 1; f <= file->fieldCount; ++f) {
            FieldValue value;
            if (IsNumberField(file->fields[f - 1].type))
                value.number = static_cast<uint32_t>(std::stol(row[f]));
            else
                std::snprintf(value.text, TEXT_VALUE_SIZE, "%s", row[f].c_str());
            WriteField(file, slot, f, value);
        }
    });
    const char* kind = file->slotCount > slotsBefore   ? "add that grows the file"
                       : file->slotCount < slotsBefore ? "add that compacts and shrinks"
                                                       : "add (no room to grow)";
    add(std::string(kind) + ", with its fields", adding, file->slotCount < slotsBefore ? write : 0,
        "write", 0);
    add("sort by title (text)", Milliseconds([&] { SortRecords(file, 1); }), write, "write",
        sqliteSortText);
    add("sort by pages (number)", Milliseconds([&] { SortRecords(file, 9); }), write, "write",
        sqliteSortNumber);
    CloseRecordFile(file);
    PrintTable(c, size, lines);
    if (c.slots == MAX_SLOT_COUNT)
        std::printf("\nPeak memory of a process that opens this file and sorts it by title: "
                    "%.1f MB\n",
                    SortPeakMegabytes(program, c.path));
    std::remove(database.c_str());
    if (!keep) std::remove(c.path.c_str());
}

// The export of a collection of 65,530 records imported into a new one, beside
// adding the same records one at a time, which must leave the same bytes.
void MeasureImport(const std::string& folder, bool keep) {
    BenchFile full{MAX_SLOT_COUNT, 100, folder + "/full.ktl", {}};
    MakeCollection(full);
    const std::string csv = folder + "/full.csv", atOnce = folder + "/import.ktl",
                      oneByOne = folder + "/one-by-one.ktl";
    RecordFile* file = OpenRecordFile(full.path.c_str());
    ExportCsv(file, csv.c_str());
    CloseRecordFile(file);
    Collection collection;
    ImportResult result;
    std::vector<double> times; // the median of five, each into a new collection
    for (int run = 0; run < 5; ++run) {
        std::remove(atOnce.c_str());
        CreateCollection(collection, atOnce.c_str(), "Import");
        times.push_back(
            Milliseconds([&] { result = ImportCsv(collection, csv.c_str(), KIND_MOVIE); }));
        CloseCollection(collection);
    }
    std::sort(times.begin(), times.end());
    const double importing = times[2];
    CreateCollection(collection, oneByOne.c_str(), "Import");
    double adding = Milliseconds([&] {
        for (Row& row : full.records) {
            AddBlankRecord(collection, KIND_MOVIE);
            for (uint32_t f = 1; f < KIND_FIELD; ++f) {
                FieldValue value;
                if (IsNumberField(fieldCatalogue[f].type))
                    value.number = static_cast<uint32_t>(std::stol(row[f]));
                else
                    std::snprintf(value.text, TEXT_VALUE_SIZE, "%s", row[f].c_str());
                WriteField(collection.hRecordFile, collection.currentRecord, f, value);
            }
        }
    });
    CloseCollection(collection);
    const std::string scratch = folder + "/scratch.bin";
    const double write = WriteLimit(scratch, FileSize(atOnce)),
                 fresh = NewFileLimit(scratch, FileSize(atOnce));
    std::printf(
        "\n### Import of %u records (a CSV of %.1f MB into a new collection of %.1f MB)\n\n",
        result.records, FileSize(csv) / 1e6, FileSize(atOnce) / 1e6);
    std::printf(
        "| operation | Quirebook ms | one rewrite ms | x rewrite | new file ms | x new file |\n");
    std::printf("|---|---:|---:|---:|---:|---:|\n");
    for (auto [name, time] :
         {std::pair{"CSV import", importing}, {"one add at a time, then its fields", adding}})
        std::printf("| %s | %.1f | %.1f | %.2f | %.1f | %.2f |\n", name, time, write, time / write,
                    fresh, time / fresh);
    if (result.outcome != IMPORT_DONE || result.records != MAX_SLOT_COUNT)
        std::fprintf(stderr, "the import added %u records: %s\n", result.records, result.fault);
    std::string command = "cmp -s '" + atOnce + "' '" + oneByOne + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "the import and the adds one at a time left different files\n");
    for (const std::string& path : {full.path, csv, atOnce, oneByOne})
        if (!keep) std::remove(path.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--sort-peak") == 0) {
        RecordFile* file = OpenRecordFile(argv[2]);
        SortRecords(file, 1);
        CloseRecordFile(file);
        std::printf("%.1f\n", PeakMegabytes());
        return 0;
    }
    bool keep = false, importOnly = false;
    std::string folder = "bench-data";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0)
            keep = true;
        else if (std::strcmp(argv[i], "--import") == 0)
            importOnly = true;
        else
            folder = argv[i];
    }
    mkdir(folder.c_str(), 0755);
    const std::vector<uint32_t> sizes = {1000u, 10000u, MAX_SLOT_COUNT};
    for (uint32_t slots : importOnly ? std::vector<uint32_t>() : sizes)
        for (uint32_t percent : {50u, 95u}) {
            BenchFile c{slots,
                        percent,
                        folder + "/c" + std::to_string(slots) + "-" + std::to_string(percent) +
                            ".ktl",
                        {}};
            Measure(argv[0], c, folder, keep);
            std::fflush(stdout);
        }
    MeasureImport(folder, keep);
    return 0;
}

#include "cli.h"

#include "csv_export.h"
#include "csv_import.h"
#include "field_catalogue.h"
#include "record_file.h"
#include "sort_search.h"
#include "text_routines.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const USAGE =
    "usage: quirebook-cli new|add|set|delete|copy|sort|find|show|export|import|check FILE ...";

// One field value given on the command line or read from a CSV line.
struct FieldValue {
    uint32_t field;
    std::string text;
};

class Cli {
  public:
    Cli(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
    ~Cli() { CloseRecordFile(file_); }
    int Run(const std::vector<std::string>& args);

  private:
    int Fail(int status, const std::string& message) {
        err_ << "quirebook-cli: " << message << "\n";
        return status;
    }
    int Open(const std::string& path);
    bool ParseOrdinal(const std::string& text, uint32_t& ordinal);
    int FindRecord(const std::string& ordinalText, int32_t& slot);
    bool CheckValue(const FieldValue& value);
    bool ParseAssignments(const std::vector<std::string>& args, size_t first,
                          std::vector<FieldValue>& values);
    void WriteValue(int32_t slot, uint32_t field, const std::string& text);
    void WriteBlankRecord(int32_t slot, const std::vector<FieldValue>& values);
    int AddWithValues(const std::vector<FieldValue>& values, int32_t& slot);

    int New(const std::vector<std::string>& args);
    int Add(const std::vector<std::string>& args);
    int Set(const std::vector<std::string>& args);
    int Delete(const std::vector<std::string>& args);
    int Copy(const std::vector<std::string>& args);
    int Sort(const std::vector<std::string>& args);
    int Find(const std::vector<std::string>& args);
    int Show(const std::vector<std::string>& args);
    int Export(const std::vector<std::string>& args);
    int Import(const std::vector<std::string>& args);
    int Check(const std::vector<std::string>& args);

    std::ostream& out_;
    std::ostream& err_;
    RecordFile* file_ = nullptr;
};

// A signed 32-bit decimal integer: an optional minus sign and digits only.
bool ParseInt32(const std::string& text, int32_t& value) {
    size_t digits = text[0] == '-' ? 1 : 0;
    if (text.size() <= digits || text.find_first_not_of("0123456789", digits) != std::string::npos)
        return false;
    errno = 0;
    long long parsed = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<int32_t>(parsed);
    return true;
}

int Cli::Run(const std::vector<std::string>& args) {
    if (args.size() < 2) return Fail(CLI_USAGE, USAGE);
    const std::string& command = args[0];
    if (command == "new") return New(args);
    if (command == "add") return Add(args);
    if (command == "set") return Set(args);
    if (command == "delete") return Delete(args);
    if (command == "copy") return Copy(args);
    if (command == "sort") return Sort(args);
    if (command == "find") return Find(args);
    if (command == "show") return Show(args);
    if (command == "export") return Export(args);
    if (command == "import") return Import(args);
    if (command == "check") return Check(args);
    return Fail(CLI_USAGE, "unknown command \"" + command + "\"; " + USAGE);
}

int Cli::Open(const std::string& path) {
    const char* reason = nullptr;
    file_ = OpenRecordFile(path.c_str(), &reason);
    if (!file_) return Fail(CLI_USAGE, path + ": " + reason);
    return CLI_DONE;
}

bool Cli::ParseOrdinal(const std::string& text, uint32_t& ordinal) {
    int32_t value = 0;
    if (!ParseInt32(text, value) || value < 0) {
        Fail(CLI_USAGE, "\"" + text + "\" is not a record number");
        return false;
    }
    ordinal = static_cast<uint32_t>(value);
    return true;
}

// Finds the slot of a record by its ordinal; the file must be open.
int Cli::FindRecord(const std::string& ordinalText, int32_t& slot) {
    uint32_t ordinal = 0;
    if (!ParseOrdinal(ordinalText, ordinal)) return CLI_USAGE;
    slot = NthRecord(file_, ordinal);
    if (slot < 0) return Fail(CLI_NOT_DONE, "no record " + ordinalText);
    return CLI_DONE;
}

bool Cli::CheckValue(const FieldValue& value) {
    if (value.field > file_->fieldCount) {
        Fail(CLI_USAGE, "this file has no field " + std::to_string(value.field));
        return false;
    }
    int32_t number = 0;
    if (IsNumberField(file_->fields[value.field - 1].type) && !value.text.empty() &&
        !ParseInt32(value.text, number)) {
        Fail(CLI_USAGE, "field " + std::to_string(value.field) + " takes a whole number, not \"" +
                            value.text + "\"");
        return false;
    }
    return true;
}

bool Cli::ParseAssignments(const std::vector<std::string>& args, size_t first,
                           std::vector<FieldValue>& values) {
    for (size_t i = first; i < args.size(); ++i) {
        size_t equals = args[i].find('=');
        int32_t field = 0;
        if (equals == std::string::npos || !ParseInt32(args[i].substr(0, equals), field) ||
            field < 1 || field > static_cast<int32_t>(FIELD_COUNT)) {
            Fail(CLI_USAGE, "\"" + args[i] + "\" is not FIELD=VALUE with a field from 1 to 20");
            return false;
        }
        FieldValue value{static_cast<uint32_t>(field), args[i].substr(equals + 1)};
        if (!CheckValue(value)) return false;
        values.push_back(value);
    }
    return true;
}

// Writes one checked value; an empty number is the blank record's value.
void Cli::WriteValue(int32_t slot, uint32_t field, const std::string& text) {
    if (IsNumberField(file_->fields[field - 1].type)) {
        int32_t number = 0;
        if (text.empty())
            numberValue = field <= FIELD_COUNT ? fieldCatalogue[field].blankValue : 0;
        else if (ParseInt32(text, number))
            numberValue = static_cast<uint32_t>(number);
    } else {
        size_t length = std::min<size_t>(text.size(), TEXT_VALUE_SIZE - 1);
        std::memcpy(textValue, text.data(), length);
        textValue[length] = '\0';
    }
    WriteField(file_, slot, field);
}

// Writes every field of a new record as a blank form would, in the form's
// order (the kind first), taking the given values instead where there are some.
void Cli::WriteBlankRecord(int32_t slot, const std::vector<FieldValue>& values) {
    static const uint32_t order[FIELD_COUNT] = {20, 1,  2,  3,  4,  5,  6,  7,  8,  9,
                                                10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    for (uint32_t field : order) {
        if (field > file_->fieldCount) continue;
        std::string text;
        for (const FieldValue& value : values)
            if (value.field == field) text = value.text;
        WriteValue(slot, field, text);
    }
}

int Cli::AddWithValues(const std::vector<FieldValue>& values, int32_t& slot) {
    slot = AddRecord(file_);
    if (slot < 0) return Fail(CLI_NOT_DONE, "Collection Full");
    WriteBlankRecord(slot, values);
    return CLI_DONE;
}

int Cli::New(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(CLI_USAGE, "usage: quirebook-cli new FILE NAME");
    file_ = CreateStandardRecordFile(args[1].c_str(), args[2].c_str());
    if (!file_) return Fail(CLI_USAGE, args[1] + ": the file cannot be created");
    return CLI_DONE;
}

int Cli::Add(const std::vector<std::string>& args) {
    std::vector<FieldValue> values;
    int32_t slot = -1;
    if (int status = Open(args[1])) return status;
    if (!ParseAssignments(args, 2, values)) return CLI_USAGE;
    if (int status = AddWithValues(values, slot)) return status;
    out_ << RecordOrdinal(file_, slot) << "\n";
    return CLI_DONE;
}

int Cli::Set(const std::vector<std::string>& args) {
    if (args.size() < 4) return Fail(CLI_USAGE, "usage: quirebook-cli set FILE ORDINAL N=VALUE...");
    std::vector<FieldValue> values;
    int32_t slot = -1;
    if (int status = Open(args[1])) return status;
    if (!ParseAssignments(args, 3, values)) return CLI_USAGE;
    if (int status = FindRecord(args[2], slot)) return status;
    for (const FieldValue& value : values) WriteValue(slot, value.field, value.text);
    return CLI_DONE;
}

int Cli::Delete(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(CLI_USAGE, "usage: quirebook-cli delete FILE ORDINAL");
    int32_t slot = -1;
    if (int status = Open(args[1])) return status;
    if (int status = FindRecord(args[2], slot)) return status;
    DeleteRecord(file_, slot);
    return CLI_DONE;
}

int Cli::Copy(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(CLI_USAGE, "usage: quirebook-cli copy FILE ORDINAL");
    int32_t source = -1;
    if (int status = Open(args[1])) return status;
    if (int status = FindRecord(args[2], source)) return status;
    uint32_t ordinal = static_cast<uint32_t>(RecordOrdinal(file_, source));
    int32_t target = AddRecord(file_);
    if (target < 0) return Fail(CLI_NOT_DONE, "Collection Full");
    // The add may have compacted the slots or taken a free slot before the
    // source; find the source again by the ordinal it had before the add.
    if (static_cast<uint32_t>(RecordOrdinal(file_, target)) <= ordinal) ++ordinal;
    CopyRecord(file_, NthRecord(file_, ordinal), target);
    out_ << RecordOrdinal(file_, target) << "\n";
    return CLI_DONE;
}

int Cli::Sort(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(CLI_USAGE, "usage: quirebook-cli sort FILE FIELD");
    if (int status = Open(args[1])) return status;
    int32_t field = 0;
    if (!ParseInt32(args[2], field) || field < 1 ||
        static_cast<uint32_t>(field) > file_->fieldCount)
        return Fail(CLI_USAGE, "the sort field must be a number from 1 to " +
                                   std::to_string(file_->fieldCount));
    SortRecords(file_, static_cast<uint32_t>(field));
    return CLI_DONE;
}

int Cli::Find(const std::vector<std::string>& args) {
    bool from = args.size() == 5 && (args[3] == "--after" || args[3] == "--before");
    if (args.size() != 3 && !from)
        return Fail(CLI_USAGE,
                    "usage: quirebook-cli find FILE TEXT [--after ORDINAL | --before ORDINAL]");
    if (int status = Open(args[1])) return status;
    CopyCount(args[2].c_str(), searchText,
              static_cast<uint32_t>(std::min<size_t>(args[2].size(), SEARCH_TEXT_LENGTH)));
    int32_t found = -1;
    if (from) {
        int32_t slot = -1;
        if (int status = FindRecord(args[4], slot)) return status;
        found = args[3] == "--after" ? FindNextMatch(file_, slot) : FindPreviousMatch(file_, slot);
    } else {
        found = FindFirstMatch(file_);
    }
    if (found < 0) return Fail(CLI_NOT_DONE, "No Match Found");
    out_ << RecordOrdinal(file_, found) << "\n";
    return CLI_DONE;
}

int Cli::Show(const std::vector<std::string>& args) {
    if (args.size() != 2 && args.size() != 3)
        return Fail(CLI_USAGE, "usage: quirebook-cli show FILE [ORDINAL]");
    if (int status = Open(args[1])) return status;
    if (args.size() == 2) {
        ReadCollectionName(file_);
        out_ << "name\t" << textValue << "\n"
             << "fields\t" << file_->fieldCount << "\n"
             << "slots\t" << file_->slotCount << "\n"
             << "records\t" << CountRecords(file_) << "\n";
        return CLI_DONE;
    }
    int32_t slot = -1;
    if (int status = FindRecord(args[2], slot)) return status;
    for (uint32_t field = 1; field <= file_->fieldCount; ++field) {
        out_ << field << "\t";
        if (IsNumberField(ReadField(file_, slot, field)))
            out_ << static_cast<int32_t>(numberValue);
        else
            out_ << textValue;
        out_ << "\n";
    }
    return CLI_DONE;
}

int Cli::Export(const std::vector<std::string>& args) {
    if (args.size() != 2 && args.size() != 3)
        return Fail(CLI_USAGE, "usage: quirebook-cli export FILE [CSV]");
    if (int status = Open(args[1])) return status;
    std::string csv = args.size() == 3 ? args[2] : CSV_FILE_NAME;
    if (ExportCsv(file_, csv.c_str()) != EXPORT_DONE)
        return Fail(CLI_NOT_DONE, csv + ": Export Failed");
    return CLI_DONE;
}

int Cli::Import(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(CLI_USAGE, "usage: quirebook-cli import FILE CSV");
    if (int status = Open(args[1])) return status;
    std::ifstream in(args[2], std::ios::binary);
    if (!in) return Fail(CLI_USAGE, args[2] + ": the file cannot be read");
    std::stringstream text;
    text << in.rdbuf();
    std::vector<CsvRow> rows;
    std::string error;
    if (!ParseCsv(text.str(), rows, error)) return Fail(CLI_USAGE, args[2] + ": " + error);

    // Every line is checked before the first record is added.
    std::vector<std::vector<FieldValue>> records;
    for (size_t line = 0; line < rows.size(); ++line) {
        std::vector<FieldValue> values;
        for (size_t i = 0; i < rows[line].size(); ++i) {
            const std::string& text = rows[line][i];
            if (i >= FIELD_COUNT) {
                if (!text.empty())
                    return Fail(CLI_USAGE, args[2] + ": record " + std::to_string(line + 1) +
                                               " has more than 20 values");
                continue;
            }
            FieldValue value{static_cast<uint32_t>(i + 1), text};
            if (value.field == KIND_FIELD && text.empty()) continue;
            if (!text.empty() && !CheckValue(value)) return CLI_USAGE;
            values.push_back(value);
        }
        records.push_back(values);
    }
    size_t added = 0;
    for (const std::vector<FieldValue>& values : records) {
        int32_t slot = -1;
        if (AddWithValues(values, slot) != CLI_DONE)
            return Fail(CLI_NOT_DONE, std::to_string(added) + " records added before that");
        ++added;
    }
    out_ << added << "\n";
    return CLI_DONE;
}

int Cli::Check(const std::vector<std::string>& args) {
    if (args.size() != 2) return Fail(CLI_USAGE, "usage: quirebook-cli check FILE");
    return Open(args[1]);
}

} // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args(argv + 1, argv + argc);
    Cli cli(out, err);
    return cli.Run(args);
}

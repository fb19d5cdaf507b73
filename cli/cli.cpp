#include "cli.h"

#include "collection.h"
#include "csv_export.h"
#include "csv_import.h"
#include "field_catalogue.h"
#include "record_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const USAGE =
    "usage: quirebook-cli new|add|set|delete|copy|sort|find|show|export|import|check FILE ...";

// One field value given on the command line or read from a CSV line.
struct Assignment {
    uint32_t field;
    std::string text;
};

class Cli {
  public:
    Cli(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
    ~Cli() { CloseCollection(collection_); }
    // Runs one command; a write that failed on the way makes it "not done".
    int Run(const std::vector<std::string>& args);

  private:
    int Fail(int status, const std::string& message) {
        err_ << "quirebook-cli: " << message << "\n";
        return status;
    }
    int RunCommand(const std::vector<std::string>& args);
    int Open(const std::string& path);
    bool ParseOrdinal(const std::string& text, uint32_t& ordinal);
    int GoToOrdinal(const std::string& ordinalText);
    bool CheckValue(const Assignment& value);
    bool ParseAssignments(const std::vector<std::string>& args, size_t first,
                          std::vector<Assignment>& values);
    void WriteValue(uint32_t field, const std::string& text);
    int AddWithValues(const std::vector<Assignment>& values);

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
    RecordFile* File() const { return collection_.hRecordFile; }
    Collection collection_;
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
    int status = RunCommand(args);
    if (status == CLI_DONE && File() && (File()->writeFailed || File()->readFailed))
        return Fail(CLI_NOT_DONE, "File Error: the file could not be read or written in full");
    return status;
}

int Cli::RunCommand(const std::vector<std::string>& args) {
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
    if (!OpenCollection(collection_, path.c_str(), &reason))
        return Fail(CLI_USAGE, path + ": " + reason);
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

// Shows the record with that ordinal; the file must be open.
int Cli::GoToOrdinal(const std::string& ordinalText) {
    uint32_t ordinal = 0;
    if (!ParseOrdinal(ordinalText, ordinal)) return CLI_USAGE;
    if (!GoToRecord(collection_, ordinal)) return Fail(CLI_NOT_DONE, "no record " + ordinalText);
    return CLI_DONE;
}

bool Cli::CheckValue(const Assignment& value) {
    if (value.field > File()->fieldCount) {
        Fail(CLI_USAGE, "this file has no field " + std::to_string(value.field));
        return false;
    }
    int32_t number = 0;
    if (IsNumberField(File()->fields[value.field - 1].type) && !value.text.empty() &&
        !ParseInt32(value.text, number)) {
        Fail(CLI_USAGE, "field " + std::to_string(value.field) + " takes a whole number, not \"" +
                            value.text + "\"");
        return false;
    }
    return true;
}

bool Cli::ParseAssignments(const std::vector<std::string>& args, size_t first,
                           std::vector<Assignment>& values) {
    for (size_t i = first; i < args.size(); ++i) {
        size_t equals = args[i].find('=');
        int32_t field = 0;
        if (equals == std::string::npos || !ParseInt32(args[i].substr(0, equals), field) ||
            field < 1 || field > static_cast<int32_t>(FIELD_COUNT)) {
            Fail(CLI_USAGE, "\"" + args[i] + "\" is not FIELD=VALUE with a field from 1 to 20");
            return false;
        }
        Assignment value{static_cast<uint32_t>(field), args[i].substr(equals + 1)};
        if (!CheckValue(value)) return false;
        values.push_back(value);
    }
    return true;
}

// Writes one checked value into the shown record; an empty number is the
// blank record's value.
void Cli::WriteValue(uint32_t field, const std::string& text) {
    FieldValue value;
    if (IsNumberField(File()->fields[field - 1].type)) {
        int32_t number = 0;
        if (text.empty())
            value.number = fieldCatalogue[field].blankValue;
        else if (ParseInt32(text, number))
            value.number = static_cast<uint32_t>(number);
    } else {
        std::memcpy(value.text, text.data(), std::min<size_t>(text.size(), TEXT_VALUE_SIZE - 1));
    }
    WriteField(File(), collection_.currentRecord, field, value);
}

// A blank record, as the window adds one, with the given values in it.
int Cli::AddWithValues(const std::vector<Assignment>& values) {
    if (AddBlankRecord(collection_, KIND_MOVIE) < 0) return Fail(CLI_NOT_DONE, "Collection Full");
    for (const Assignment& value : values) WriteValue(value.field, value.text);
    return CLI_DONE;
}

int Cli::New(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(CLI_USAGE, "usage: quirebook-cli new FILE NAME");
    if (!CreateCollection(collection_, args[1].c_str(), args[2].c_str()))
        return Fail(CLI_USAGE, args[1] + ": the file cannot be created");
    return CLI_DONE;
}

int Cli::Add(const std::vector<std::string>& args) {
    std::vector<Assignment> values;
    if (int status = Open(args[1])) return status;
    if (!ParseAssignments(args, 2, values)) return CLI_USAGE;
    if (int status = AddWithValues(values)) return status;
    out_ << collection_.currentNumber << "\n";
    return CLI_DONE;
}

int Cli::Set(const std::vector<std::string>& args) {
    if (args.size() < 4) return Fail(CLI_USAGE, "usage: quirebook-cli set FILE ORDINAL N=VALUE...");
    std::vector<Assignment> values;
    if (int status = Open(args[1])) return status;
    if (!ParseAssignments(args, 3, values)) return CLI_USAGE;
    if (int status = GoToOrdinal(args[2])) return status;
    for (const Assignment& value : values) WriteValue(value.field, value.text);
    return CLI_DONE;
}

int Cli::Delete(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(CLI_USAGE, "usage: quirebook-cli delete FILE ORDINAL");
    if (int status = Open(args[1])) return status;
    if (int status = GoToOrdinal(args[2])) return status;
    DeleteShownRecord(collection_);
    return CLI_DONE;
}

int Cli::Copy(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(CLI_USAGE, "usage: quirebook-cli copy FILE ORDINAL");
    if (int status = Open(args[1])) return status;
    if (int status = GoToOrdinal(args[2])) return status;
    if (CopyShownRecord(collection_) < 0) return Fail(CLI_NOT_DONE, "Collection Full");
    out_ << collection_.currentNumber << "\n";
    return CLI_DONE;
}

int Cli::Sort(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(CLI_USAGE, "usage: quirebook-cli sort FILE FIELD");
    if (int status = Open(args[1])) return status;
    int32_t field = 0;
    if (!ParseInt32(args[2], field) || field < 1 ||
        static_cast<uint32_t>(field) > File()->fieldCount)
        return Fail(CLI_USAGE, "the sort field must be a number from 1 to " +
                                   std::to_string(File()->fieldCount));
    collection_.sortField = static_cast<uint32_t>(field);
    SortCollection(collection_);
    return CLI_DONE;
}

int Cli::Find(const std::vector<std::string>& args) {
    bool from = args.size() == 5 && (args[3] == "--after" || args[3] == "--before");
    if (args.size() != 3 && !from)
        return Fail(CLI_USAGE,
                    "usage: quirebook-cli find FILE TEXT [--after ORDINAL | --before ORDINAL]");
    if (int status = Open(args[1])) return status;
    SetSearchText(collection_, args[2].c_str());
    SearchDirection direction = SEARCH_FIRST;
    if (from) {
        if (int status = GoToOrdinal(args[4])) return status;
        direction = args[3] == "--after" ? SEARCH_FORWARD : SEARCH_BACKWARD;
    }
    if (!FindMatch(collection_, direction)) return Fail(CLI_NOT_DONE, "No Match Found");
    out_ << collection_.currentNumber << "\n";
    return CLI_DONE;
}

int Cli::Show(const std::vector<std::string>& args) {
    if (args.size() != 2 && args.size() != 3)
        return Fail(CLI_USAGE, "usage: quirebook-cli show FILE [ORDINAL]");
    if (int status = Open(args[1])) return status;
    if (args.size() == 2) {
        char name[COLLECTION_NAME_SIZE + 1];
        ReadCollectionName(File(), name);
        out_ << "name\t" << name << "\n"
             << "fields\t" << File()->fieldCount << "\n"
             << "slots\t" << File()->slotCount << "\n"
             << "records\t" << CountRecords(File()) << "\n";
        return CLI_DONE;
    }
    if (int status = GoToOrdinal(args[2])) return status;
    for (uint32_t field = 1; field <= File()->fieldCount; ++field) {
        FieldValue value = ReadField(File(), collection_.currentRecord, field);
        out_ << field << "\t";
        if (IsNumberField(value.type))
            out_ << static_cast<int32_t>(value.number);
        else
            out_ << value.text;
        out_ << "\n";
    }
    return CLI_DONE;
}

int Cli::Export(const std::vector<std::string>& args) {
    if (args.size() != 2 && args.size() != 3)
        return Fail(CLI_USAGE, "usage: quirebook-cli export FILE [CSV]");
    if (int status = Open(args[1])) return status;
    std::string csv = args.size() == 3 ? args[2] : CSV_FILE_NAME;
    if (ExportCsv(File(), csv.c_str()) != EXPORT_DONE)
        return Fail(CLI_NOT_DONE, csv + ": Export Failed");
    return CLI_DONE;
}

int Cli::Import(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(CLI_USAGE, "usage: quirebook-cli import FILE CSV");
    if (int status = Open(args[1])) return status;
    ImportResult result = ImportCsv(collection_, args[2].c_str(), KIND_MOVIE);
    if (result.outcome != IMPORT_DONE)
        return Fail(result.outcome == IMPORT_FULL ? CLI_NOT_DONE : CLI_USAGE,
                    args[2] + ": " + result.fault);
    out_ << result.records << "\n";
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

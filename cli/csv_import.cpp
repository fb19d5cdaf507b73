#include "csv_import.h"

bool ParseCsv(const std::string& text, std::vector<CsvRow>& rows, std::string& error) {
    rows.clear();
    CsvRow row;
    std::string value;
    bool rowHasContent = false;
    bool inQuotes = false;
    size_t line = 1;
    size_t quoteLine = 0;
    auto endValue = [&] {
        row.push_back(value);
        value.clear();
    };
    auto endRow = [&] {
        if (rowHasContent) {
            endValue();
            rows.push_back(row);
        }
        row.clear();
        value.clear();
        rowHasContent = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                value += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
                    ++line;
                value += c;
            }
            continue;
        }
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            endRow();
            ++line;
            continue;
        }
        rowHasContent = true;
        if (c == ',') {
            endValue();
        } else if (c == '"' && value.empty()) {
            inQuotes = true;
            quoteLine = line;
        } else {
            value += c;
        }
    }
    if (inQuotes) {
        error = "a quoted value that begins on line " + std::to_string(quoteLine) + " never ends";
        return false;
    }
    endRow();
    return true;
}

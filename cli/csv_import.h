// Reads comma-separated text as the export writes it, or as a spreadsheet
// saves it: quoted or bare values, "" for a quote inside a quoted value, line
// breaks inside quotes, and CR, LF or CRLF line ends. Empty lines are skipped.
#pragma once
#include <string>
#include <vector>

using CsvRow = std::vector<std::string>;

// Returns false, with a sentence in error, when the text cannot be read as CSV.
bool ParseCsv(const std::string& text, std::vector<CsvRow>& rows, std::string& error);

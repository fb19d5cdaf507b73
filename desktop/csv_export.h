// Writes the whole open collection as comma-separated text: one line per slot,
// each record's fields 1 to fieldCount - 1 quoted and followed by a comma,
// a free slot as an empty line, every line ended by a carriage return.
#pragma once

struct RecordFile;

constexpr const char* CSV_FILE_NAME = "Quirebook.CSV";

enum ExportResult { EXPORT_FAILED = -1, EXPORT_NO_FILE = 0, EXPORT_DONE = 1 };

ExportResult ExportCsv(RecordFile* file, const char* path = CSV_FILE_NAME);

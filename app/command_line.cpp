#include "command_line.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

CommandLineResult CommandLineArg(const char* commandLine, uint32_t n, char* destination,
                                 size_t destinationSize) {
    size_t quotes = 0;
    for (const char* p = commandLine; *p; ++p) quotes += *p == '"';
    if (quotes % 2 != 0) return ARG_UNBALANCED;
    if (destinationSize == 0) return ARG_TOO_LONG;

    const char* p = commandLine;
    for (uint32_t item = 0;; ++item) {
        while (IsBlank(*p)) ++p;
        if (*p == '\0') {
            destination[0] = '\0';
            return ARG_MISSING;
        }
        bool quoted = false;
        size_t length = 0;
        for (; *p && (quoted || !IsBlank(*p)); ++p) {
            if (*p == '"') {
                quoted = !quoted;
                continue;
            }
            if (item != n) continue;
            if (length + 1 >= destinationSize) {
                destination[0] = '\0';
                return ARG_TOO_LONG;
            }
            // A tab inside quotes reads as a space, as between the items.
            destination[length++] = *p == '\t' ? ' ' : *p;
        }
        if (item == n) {
            destination[length] = '\0';
            return length == 0 ? ARG_EMPTY : ARG_COPIED;
        }
    }
}

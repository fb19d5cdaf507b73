// The command-line face of the record file engine: quirebook-cli COMMAND FILE ...
#pragma once
#include <ostream>

enum CliStatus { CLI_DONE = 0, CLI_NOT_DONE = 1, CLI_USAGE = 2 };

// Runs one command; results go to out, one line of error to err.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

#include "cli.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv) {
    // Sorting compares keys in the user's locale.
    std::setlocale(LC_ALL, "");
    return RunCli(argc, argv, std::cout, std::cerr);
}

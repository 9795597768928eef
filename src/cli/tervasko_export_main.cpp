#include <iostream>

#include "cli/exportcli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return tervasko::RunExportCommand(args, std::cout, std::cerr);
}

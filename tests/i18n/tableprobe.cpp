// Opens a translation table and translates its arguments, for tests that must run as a user
// other than root: tableprobe LOCATION LANGUAGE TEXT...
// Prints "table=<0|1> readonly=<0|1> problems=<kinds>" and then one translation per line.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "i18n/translationtable.h"

namespace {

const char* kindName(tervasko::TableProblem::Kind kind) {
    using Kind = tervasko::TableProblem::Kind;
    switch (kind) {
        case Kind::CannotCreate:
            return "CannotCreate";
        case Kind::CannotOpen:
            return "CannotOpen";
        case Kind::DamagedUnused:
            return "DamagedUnused";
        case Kind::DamagedReadOnly:
            return "DamagedReadOnly";
        case Kind::CannotWrite:
            return "CannotWrite";
        case Kind::CannotRead:
            return "CannotRead";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LOCATION LANGUAGE TEXT...\n", argv[0]);
        return 2;
    }
    tervasko::TranslationTable table;
    table.Open(argv[1]);
    table.SetActiveLanguage(std::atoi(argv[2]));
    std::string kinds;
    for (const auto& problem : table.Problems())
        kinds += std::string(kinds.empty() ? "" : ",") + kindName(problem.kind);
    std::printf("table=%d readonly=%d problems=%s\n", table.HasTable() ? 1 : 0,
                table.ReadOnly() ? 1 : 0, kinds.c_str());
    for (int i = 3; i < argc; ++i) std::printf("%s\n", table.TranslateText(argv[i]).c_str());
    return 0;
}

// Exports a small drawing to the file named on the command line; run by the tests under
// another user. Prints the error sentence on failure.
// Exit status: 0 saved, 1 not saved, 2 wrong usage.

#include <cstdio>
#include <string>

#include "export/dxfwriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.dxf\n", argv[0]);
        return 2;
    }
    tervasko::TDrawing drawing;
    tervasko::TDrawElement* line = drawing.AppendElement();
    if (!line) return 1;
    line->Kind = tervasko::ekLine;
    line->X1 = 10;
    line->Y1 = 20;
    line->X2 = 110;
    line->Y2 = 20;
    if (const tervasko::Error error = tervasko::savedxfArc(argv[1], drawing, 1)) {
        std::printf("%s\n", tervasko::EnglishText(error).c_str());
        return 1;
    }
    return 0;
}

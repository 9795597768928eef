// The translation table's checks on any file: the table is opened, refused or opened
// read-only without fault, and an unknown text that the program adds never changes a byte of
// a row the file held (only the header's date and row count may change).
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "i18n/translationtable.h"
#include "scratch.h"

using namespace tervasko;

namespace {

std::string folder() {
    return fuzz::ScratchFolder();
}

unsigned le(const std::string& b, std::size_t at, int width) {
    unsigned v = 0;
    for (int i = width - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = folder() + "translate.dbf";
    const std::string before(reinterpret_cast<const char*>(data), size);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << before;
    {
        TranslationTable table;
        table.Open(folder());
        table.TranslateText("Ein Text, den keine Tabelle hat");
        table.Close();
    }
    std::ifstream in(path, std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (after.size() < before.size()) std::abort();  // nothing is ever cut off
    if (after == before || before.size() < 12) return 0;
    // Written to: every byte after the header's date and row count up to the end of the
    // file it held stays, but for the end mark and a partial row after the last whole one.
    const std::size_t headerLength = le(before, 8, 2);
    const std::size_t recordLength = le(before, 10, 2);
    const std::size_t rows = le(before, 4, 4);
    const std::size_t kept = headerLength + rows * recordLength;
    if (recordLength == 0 || kept > before.size() || before.size() - kept >= recordLength)
        std::abort();
    if (before.compare(8, kept - 8, after, 8, kept - 8) != 0) std::abort();
    return 0;
}

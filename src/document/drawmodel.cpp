#include "document/drawmodel.h"

#include <cstring>
#include <new>

namespace tervasko {

char16_t* NewWideBuffer(std::u16string_view text) {
    auto* block = new (std::nothrow) char16_t[text.size() + 1]();
    if (block && !text.empty()) std::memcpy(block, text.data(), text.size() * sizeof(char16_t));
    return block;
}

char* NewAnsiBuffer(std::string_view text) {
    auto* block = new (std::nothrow) char[text.size() + 1]();
    if (block && !text.empty()) std::memcpy(block, text.data(), text.size());
    return block;
}

void FreeWideBuffer(char16_t* block) {
    delete[] block;
}
void FreeAnsiBuffer(char* block) {
    delete[] block;
}

std::size_t WideLength(const char16_t* text) {
    if (!text) return 0;
    std::size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

void FreeTextStrings(TTextElement& text) {
    FreeAnsiBuffer(text.FontName);
    text.FontName = nullptr;
    FreeWideBuffer(text.Text);
    text.Text = nullptr;
}

TDrawing::~TDrawing() {
    freeAllTextStrings();
}

void TDrawing::freeAllTextStrings() {
    Texts.Rewind();
    while (Texts.Next()) FreeTextStrings(*CurText);
}

void TDrawing::NewAll() {
    freeAllTextStrings();
    Texts.Clear();
    Elements.Clear();
    FileName.clear();
    KeptChunks.clear();
    Worksheet.reset();
    Changed = false;
}

void TDrawing::SwapLists(TDrawing& other) {
    // Each index goes with its records, whole (a list would tell its index to start afresh).
    Elements.SetObserver(nullptr);
    other.Elements.SetObserver(nullptr);
    Elements.Swap(other.Elements);
    Elements.SetObserver(&Index);
    other.Elements.SetObserver(&other.Index);
    Texts.Swap(other.Texts);
    Index.SwapWith(other.Index);
}

TDrawElement* TDrawing::AppendElement() {
    TDrawElement* e = Elements.Append();
    if (!e) return nullptr;
    // A reused slot would keep an old record's bytes; start every new element clean.
    *e = TDrawElement{};
    Changed = true;
    return e;
}

TTextElement* TDrawing::AppendText() {
    TTextElement* t = Texts.Append();
    if (!t) return nullptr;
    // Never let a new record inherit the string pointers of a removed one.
    *t = TTextElement{};
    Changed = true;
    return t;
}

}  // namespace tervasko

#pragma once

#include <cstdint>

#include "document/drawmodel.h"

namespace tervasko::benchsupport {

// The large drawing of the benchmarks: `lines` short random lines (always the same ones) over
// `pages` A4 sheets, and `texts` one-line texts.
inline void FillLargeDrawing(TDrawing& d, int pages, int lines = 200000, int texts = 1000) {
    const double sheetMm = 297;
    std::uint32_t seed = 12345;
    auto rnd = [&] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24);
    };
    for (int i = 0; i < lines; ++i) {
        TDrawElement* e = d.AppendElement();
        e->Kind = ekLine;
        e->Width = 0.1;
        e->X1 = 5 + rnd() * 195;
        e->Y1 = 5 + rnd() * (pages * sheetMm - 10);
        e->X2 = e->X1 + rnd() * 6 - 3;
        e->Y2 = e->Y1 + rnd() * 6 - 3;
    }
    for (int i = 0; i < texts; ++i) {
        TTextElement* t = d.AppendText();
        t->X1 = 5 + rnd() * 150;
        t->Y1 = 5 + rnd() * (pages * sheetMm - 20);
        t->Text = NewWideBuffer(u"Umkreis des Dreiecks");
        t->FontName = NewAnsiBuffer("Arial");
        t->FontSize = 10;
    }
}

}  // namespace tervasko::benchsupport

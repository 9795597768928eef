#pragma once

// Small helpers for the DXF tests: building drawings and reading our DXF text back.

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "document/drawmodel.h"

namespace tervasko::dxftest {

// Appends an element; coordinates fill X1, Y1, X2, ... in order, the rest stay 0.
inline TDrawElement& addElement(TDrawing& d, std::uint32_t kind, std::initializer_list<double> xy) {
    TDrawElement* e = d.AppendElement();
    if (!e) throw std::runtime_error("out of memory");
    e->Kind = kind;
    e->Width = 0.5;
    double* p = &e->X1;
    for (double v : xy) *p++ = v;
    return *e;
}

inline TTextElement& addText(TDrawing& d, double x, double y, std::u16string_view text,
                             std::int32_t fontSize = 12) {
    TTextElement* t = d.AppendText();
    if (!t) throw std::runtime_error("out of memory");
    t->X1 = x;
    t->Y1 = y;
    t->Text = NewWideBuffer(text);
    t->FontName = NewAnsiBuffer("Arial");
    t->FontSize = fontSize;
    return *t;
}

// The lines of a CR LF text; throws when a line break is anything else.
inline std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t cr = text.find("\r\n", start);
        if (cr == std::string_view::npos) throw std::runtime_error("last line without CR LF");
        const std::string_view line = text.substr(start, cr - start);
        if (line.find_first_of("\r\n") != std::string_view::npos)
            throw std::runtime_error("bare CR or LF inside a line");
        lines.emplace_back(line);
        start = cr + 2;
    }
    return lines;
}

struct Vertex {
    double x, y, bulge;
    std::string xText, yText, bulgeText;
};
struct Text {
    double x, y, height;
    std::string content;
};
struct Entities {
    std::vector<std::vector<Vertex>> polylines;
    std::vector<Text> texts;
};

// The entities between "ENTITIES" and the final "ENDSEC", read strictly in the layout the
// writer uses; throws on anything else.
inline Entities readEntities(std::string_view dxf) {
    const std::vector<std::string> l = splitLines(dxf);
    std::size_t i = 0;
    while (i < l.size() && l[i] != "ENTITIES") ++i;
    if (i == l.size()) throw std::runtime_error("no ENTITIES");
    ++i;
    const auto expect = [&](std::string_view code, std::string_view value) {
        if (i + 1 >= l.size() || l[i] != code || (!value.empty() && l[i + 1] != value))
            throw std::runtime_error("expected " + std::string(code) + "/" + std::string(value) +
                                     " at line " + std::to_string(i + 1));
        i += 2;
        return l[i - 1];
    };
    Entities out;
    bool open = false;
    while (i + 1 < l.size()) {
        if (l[i] == "0" && l[i + 1] == "POLYLINE") {
            if (open) throw std::runtime_error("POLYLINE inside a polyline");
            i += 2;
            expect("8", "0");
            expect("66", "1");
            out.polylines.emplace_back();
            open = true;
        } else if (l[i] == "0" && l[i + 1] == "VERTEX") {
            if (!open) throw std::runtime_error("VERTEX outside a polyline");
            i += 2;
            expect("8", "0");
            Vertex v{};
            v.xText = expect("10", "");
            v.yText = expect("20", "");
            v.bulgeText = expect("42", "");
            v.x = std::stod(v.xText);
            v.y = std::stod(v.yText);
            v.bulge = std::stod(v.bulgeText);
            out.polylines.back().push_back(v);
        } else if (l[i] == "0" && l[i + 1] == "SEQEND") {
            if (!open) throw std::runtime_error("SEQEND without POLYLINE");
            open = false;
            i += 2;
        } else if (l[i] == "  0" && l[i + 1] == "TEXT") {
            if (open) throw std::runtime_error("TEXT inside a polyline");
            i += 2;
            expect("8", "0");
            Text t{};
            t.x = std::stod(expect(" 10", ""));
            t.y = std::stod(expect(" 20", ""));
            expect(" 30", "0.0");
            t.height = std::stod(expect(" 40", ""));
            t.content = expect("  1", "");
            out.texts.push_back(t);
        } else if (l[i] == "  0" && l[i + 1] == "ENDSEC") {
            if (open) throw std::runtime_error("ENDSEC inside a polyline");
            return out;
        } else {
            throw std::runtime_error("unexpected line " + std::to_string(i + 1) + ": " + l[i]);
        }
    }
    throw std::runtime_error("no ENDSEC after ENTITIES");
}

}  // namespace tervasko::dxftest

#include "platform/canvas.h"

namespace tervasko {

void Canvas::lines(const IntLine* lines, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        moveTo(lines[i].from.x, lines[i].from.y);
        lineTo(lines[i].to.x, lines[i].to.y);
    }
}

std::u16string StripMnemonics(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                out.push_back(u'&');
                ++i;
            }
            continue;
        }
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace tervasko

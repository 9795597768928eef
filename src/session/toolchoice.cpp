#include "session/toolchoice.h"

namespace tervasko {

ToolChoice::ToolChoice() {
    checked_[index(ToolItem::Lineal1)] = true;
    checked_[index(ToolItem::LinealVerschieben1)] = true;
}

// The enumeration lists each tool followed by its modes.
ToolItem ToolChoice::ToolOf(ToolItem item) {
    using T = ToolItem;
    switch (item) {
        case T::LinealVerschieben1:
        case T::LinealDrehen1:
        case T::LinealAnLinealentlangzeichnen1:
        case T::LinealQuerzumLinealzeichnen1:
            return T::Lineal1;
        case T::WinkelmesserVerschieben1:
        case T::WinkelmesserDrehen1:
        case T::WinkelmesserGradzahlmitBleistiftmarkieren1:
            return T::Winkelmesser1;
        case T::ZirkelVerschieben1:
        case T::ZirkelZirkelspanne1:
        case T::ZirkelKreisbogenzeichnen1:
            return T::Zirkel1;
        case T::TextTexthinzufgen1:
        case T::TextTextndern1:
        case T::TextTextlschen1:
        case T::TextVerschieben1:
            return T::Text1;
        case T::ObjekteLschen1:
        case T::ObjekteVerschieben1:
            return T::Objekte1;
        case T::GeodreieckVerschieben1:
        case T::GeodreieckDrehen1:
        case T::GeodreieckAnderlangenKanteentlangzeichnen1:
        case T::GeodreieckAndenkurzenKantenentlangzeichnen1:
        case T::GeodreieckWinkelmarkieren1:
            return T::Geodreieck1;
        default:
            return item;
    }
}

bool ToolChoice::HasModes(ToolItem item) {
    using T = ToolItem;
    return item == T::Lineal1 || item == T::Winkelmesser1 || item == T::Zirkel1 ||
           item == T::Text1 || item == T::Objekte1 || item == T::Geodreieck1;
}

void ToolChoice::Choose(ToolItem item) {
    const ToolItem tool = ToolOf(item);
    if (tool == item && HasModes(item)) return;
    std::array<bool, kItems> next = checked_;
    for (std::size_t i = 0; i < kItems; ++i) {
        const auto other = static_cast<ToolItem>(i);
        if (ToolOf(other) == other)
            next[i] = other == tool;  // one tool of all
        else if (item != tool && ToolOf(other) == tool)
            next[i] = other == item;  // one mode of its tool
    }
    tool_ = tool;
    if (next == checked_) return;
    checked_ = next;
    emit Changed();
}

}  // namespace tervasko

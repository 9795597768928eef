#include "platform/qt/textruns.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLine>
#include <QTextOption>

namespace tervasko {
namespace {

QString toQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The engine for a turn: ten degrees each, in turn, so that the thirty-six labels of the
// protractor and the ruler's one turn give each engine at most ten turns.
int engineFor(int escapement) {
    const int tenths = ((escapement % 3600) + 3600) % 3600;
    return tenths / 100 % TextRuns::kEngines;
}

}  // namespace

std::size_t TextRuns::KeyHash::operator()(const Key& k) const {
    std::size_t h = std::hash<std::u16string>()(k.text);
    return h ^ (static_cast<std::size_t>(k.slot) * 0x9E3779B97F4A7C15ull +
                static_cast<std::size_t>(k.engine));
}

int TextRuns::FontSlot(const QFont& font, QPainter& painter) {
    // Resolved as QPainter::setFont resolves it: that font is the one drawText shapes with.
    painter.save();
    painter.setFont(font);
    const QFont resolved = painter.font();
    painter.restore();
    const QPaintDevice* device = painter.device();
    const int dpiX = device ? device->logicalDpiX() : 0, dpiY = device ? device->logicalDpiY() : 0;
    const Qt::LayoutDirection direction = painter.layoutDirection();
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const Slot& s = slots_[i];
        if (s.dpiX == dpiX && s.dpiY == dpiY && s.direction == direction && s.font == resolved)
            return static_cast<int>(i);
    }
    Slot slot{resolved, dpiX, dpiY, direction, {}};
    const QFontInfo info(resolved);
    const bool scalable = QFontDatabase::isSmoothlyScalable(info.family(), info.styleName());
    static constexpr QFont::StyleStrategy kStrategies[kEngines] = {
        QFont::PreferDefault, QFont::PreferMatch, QFont::PreferQuality,
        QFont::StyleStrategy(QFont::PreferMatch | QFont::PreferQuality)};
    for (int e = 0; e < kEngines; ++e) {
        slot.engines[e] = resolved;
        if (scalable)
            slot.engines[e].setStyleStrategy(
                QFont::StyleStrategy(resolved.styleStrategy() | kStrategies[e]));
    }
    slots_.push_back(std::move(slot));
    return static_cast<int>(slots_.size() - 1);
}

int TextRuns::Width(int slot, std::u16string_view text, const QFontMetrics& metrics) {
    probe_.slot = slot;
    probe_.engine = 0;
    probe_.text.assign(text);
    const auto it = widths_.find(probe_);
    if (it != widths_.end()) return it->second;
    const int w = metrics.horizontalAdvance(toQString(text));
    widths_.emplace(probe_, w);
    return w;
}

bool TextRuns::Drawable(std::u16string_view text, const QPainter& painter) {
    if (painter.layoutDirection() == Qt::RightToLeft) return false;
    // Printable Latin, Greek, Cyrillic and Armenian: nothing that runs right to left.
    for (const char16_t c : text)
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c >= 0x590) return false;
    return true;
}

void TextRuns::Draw(QPainter& painter, int slot, int escapement, int baseline,
                    std::u16string_view text) {
    if (text.empty()) return;
    probe_.slot = slot;
    probe_.engine = engineFor(escapement);
    probe_.text.assign(text);
    auto it = runs_.find(probe_);
    if (it == runs_.end()) {
        Run run;
        const Slot& s = slots_[static_cast<std::size_t>(slot)];
        run.layout = std::make_unique<QTextLayout>(toQString(text), s.engines[probe_.engine],
                                                   painter.device());
        // The direction drawText lays out in.
        QTextOption option;
        option.setTextDirection(s.direction);
        run.layout->setTextOption(option);
        // Keeps the shaped glyphs after the layout, which is the point of keeping it.
        run.layout->setCacheEnabled(true);
        run.layout->beginLayout();
        QTextLine line = run.layout->createLine();
        run.layout->endLayout();
        run.ascent = line.isValid() ? line.ascent() : 0;
        it = runs_.emplace(probe_, std::move(run)).first;
    }
    const QTextLayout& layout = *it->second.layout;
    if (layout.lineCount() == 0) return;
    // The line puts its baseline at y + its ascent; both are whole 64ths, so the baseline
    // comes out exactly where drawText puts it.
    layout.lineAt(0).draw(&painter, QPointF(0, baseline - it->second.ascent));
}

void TextRuns::Trim() {
    if (runs_.size() + widths_.size() <= kMaxRuns && slots_.size() <= kMaxSlots) return;
    runs_.clear();
    widths_.clear();
    slots_.clear();
}

}  // namespace tervasko

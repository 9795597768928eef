#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QTextLayout>
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QPainter;

namespace tervasko {

// One-line texts shaped once and kept for the paints that follow, for a canvas that draws the
// same labels again and again (the instruments on screen). A kept line is drawn through the
// same text-item path as QPainter::drawText, from the same glyphs at the same positions, so
// it gives exactly the same pixels; only the shaping is not done again.
//
// Qt's FreeType engine keeps rendered glyphs for at most ten turns per font engine and
// renders them again for any other; the protractor alone shows thirty-six turns. So turned
// texts in a scalable font are spread over a few engines by their turn: fonts that differ
// only in the PreferMatch and PreferQuality strategies, which choose among bitmap sizes and
// change nothing for a scalable font, so each engine keeps the glyphs of its own few turns.
//
// Keeping the fonts here also keeps their engines alive between paints.
class TextRuns {
public:
    // Turns of a text spread over this many engines: ten degrees each in turn.
    static constexpr int kEngines = 4;

    // A number for `font` as `painter` draws it (resolved against the painter's device font)
    // at the device's resolution and in the painter's direction: the same for a font and
    // painter that draw alike, until Trim.
    int FontSlot(const QFont& font, QPainter& painter);

    // The advance width of `text` as `metrics` (of the slot's font on its device) measures
    // it, measured once.
    int Width(int slot, std::u16string_view text, const QFontMetrics& metrics);

    // Whether Draw draws `text` exactly as QPainter::drawText would on `painter`: one line of
    // letters, digits and signs that run left to right, on a painter not laid out right to
    // left.
    static bool Drawable(std::u16string_view text, const QPainter& painter);

    // Draws `text` with the slot's font as QPainter::drawText(0, baseline, text) would, with
    // the painter's pen and transformation. `escapement` (tenths of a degree) only chooses
    // the engine; the turn itself is the painter's.
    void Draw(QPainter& painter, int slot, int escapement, int baseline, std::u16string_view text);

    // Forgets everything when much has gathered (many zoom levels, many texts). Call it only
    // while no canvas holds a slot.
    void Trim();

    // Kept lines and fonts, for tests.
    std::size_t Lines() const { return runs_.size(); }
    std::size_t Fonts() const { return slots_.size(); }

private:
    struct Slot {
        QFont font;  // as the painter resolves it
        int dpiX = 0, dpiY = 0;
        Qt::LayoutDirection direction = Qt::LeftToRight;  // the painter's
        // The font for each engine; the same font throughout when it is not scalable.
        std::array<QFont, kEngines> engines;
    };
    struct Key {
        int slot = 0, engine = 0;
        std::u16string text;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    struct Run {
        std::unique_ptr<QTextLayout> layout;
        qreal ascent = 0;  // of its line
    };

    // Kept at most: a view shows a few hundred labels in one or two fonts.
    static constexpr std::size_t kMaxRuns = 2000, kMaxSlots = 32;

    std::vector<Slot> slots_;
    std::unordered_map<Key, Run, KeyHash> runs_;
    std::unordered_map<Key, int, KeyHash> widths_;
    Key probe_;  // reused for look-ups
};

}  // namespace tervasko

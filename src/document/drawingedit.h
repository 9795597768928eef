#pragma once

#include <cstdint>
#include <memory>

#include "document/drawmodel.h"

namespace tervasko {

// One change of a drawing that can be taken back and made again. An edit stores what
// changed, never a copy of the drawing: records appended at the end are copied out only
// when they are taken back, a removed record is kept by the edit, a changed record is kept
// as it was before and after. Edits are taken back in the reverse order of their making,
// so each finds the drawing as it left it.
class DrawingEdit {
public:
    virtual ~DrawingEdit() = default;
    // False when memory ran out (the user has been told); the drawing is then unchanged.
    virtual bool Undo(TDrawing& drawing) = 0;
    virtual bool Redo(TDrawing& drawing) = 0;
    // Bytes the edit holds beyond itself, for keeping the history bounded.
    virtual std::size_t Bytes() const { return 0; }
};

// `count` elements appended at the end of the list, the first at index `first`.
std::unique_ptr<DrawingEdit> ElementsAppended(std::uint32_t first, std::uint32_t count);
// The element that stood at `index` and has been removed.
std::unique_ptr<DrawingEdit> ElementRemoved(std::uint32_t index, const TDrawElement& record);
// The element at `index`, changed from `before` to `after`.
std::unique_ptr<DrawingEdit> ElementChanged(std::uint32_t index, const TDrawElement& before,
                                            const TDrawElement& after);
// A text appended at the end of the list, at `index`.
std::unique_ptr<DrawingEdit> TextAppended(std::uint32_t index);
// The text that stood at `index` and has been removed; the edit takes over its strings.
std::unique_ptr<DrawingEdit> TextRemoved(std::uint32_t index, const TTextElement& record);
// The text at `index`, changed from `before` to `after`; the edit keeps copies of the
// strings of both (the records' own strings stay with their owners).
std::unique_ptr<DrawingEdit> TextChanged(std::uint32_t index, const TTextElement& before,
                                         const TTextElement& after);

// A text record with copies of its strings (nullptr strings where memory ran out).
TTextElement CopyText(const TTextElement& text);

}  // namespace tervasko

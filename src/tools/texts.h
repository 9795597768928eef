#pragma once

#include "tools/pointer.h"

namespace tervasko {

// The text tool's four modes. In change, delete and move mode the text under the pointer is
// highlighted in red as the pointer moves (the hover scan); a press acts on it.

void TextHoverScan(PointerContext& p);

void TextAddPress(PointerContext& p);     // the text dialog; on OK a text at the press point
void TextChangePress(PointerContext& p);  // the text dialog for the highlighted text
void TextDeletePress(PointerContext& p);
void TextDragPress(PointerContext& p);
void TextDragPreview(PointerContext& p);
void TextPutDown(PointerContext& p);

// The font of a text record as the chooser holds it, and back into the record (the old
// font name freed). The face name is stored in the 8-bit code page of font names.
TextFontChoice FontOfText(const TTextElement& text);
void SetTextFont(TTextElement& text, const TextFontChoice& font);

}  // namespace tervasko

#pragma once

#include "document/drawmodel.h"
#include "tools/tool.h"
#include "tools/toolhost.h"
#include "tools/toolparts.h"

namespace tervasko {

// The text tool's four modes. In change, delete and move mode the text under the pointer is
// highlighted in red as the pointer moves (the hover scan); a press acts on it.

// The highlighted text is the gesture state's Hover.
struct TextTool final : Tool {
    bool Dragging = false;

    // A carried text stays where it was.
    bool Busy() const override { return Dragging; }
    void Cancel(ToolHost&, TDrawing&) override { Forget(); }
    void Forget() override { Dragging = false; }

    void HoverScan(PointerContext& p);

    void AddPress(PointerContext& p);     // the text dialog; on OK a text at the press point
    void ChangePress(PointerContext& p);  // the text dialog for the highlighted text
    void DeletePress(PointerContext& p);
    void DragPress(PointerContext& p);
    void DragPreview(PointerContext& p);
    void PutDown(PointerContext& p);
};

// The font of a text record as the chooser holds it, and back into the record (the old
// font name freed). The face name is stored in the 8-bit code page of font names.
TextFontChoice FontOfText(const TTextElement& text);
void SetTextFont(TTextElement& text, const TextFontChoice& font);

}  // namespace tervasko

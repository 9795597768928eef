#pragma once

#include <QObject>
#include <array>

#include "tools/toolhost.h"

namespace tervasko {

// Which tool is active and which mode each tool with modes has: the state the tool menu's
// check marks show and the tools read at every event. Exactly one tool is active; the modes of
// one tool form a group of their own, of which at most one is chosen, and a mode keeps its
// mark while another tool is active. At start the ruler is active, sliding.
class ToolChoice : public QObject {
    Q_OBJECT
public:
    ToolChoice();

    // Whether the menu item is checked: the active tool, and every tool's chosen mode.
    bool Checked(ToolItem item) const { return checked_[index(item)]; }
    // The active tool (one of the eleven tool items).
    ToolItem Tool() const { return tool_; }

    // A mode: its tool becomes active with that mode. A tool without modes becomes active.
    // A tool with modes is chosen only through one of them: alone it changes nothing.
    void Choose(ToolItem item);

    // The tool a mode belongs to; a tool is its own.
    static ToolItem ToolOf(ToolItem item);
    // Whether the item is a tool with a submenu of modes.
    static bool HasModes(ToolItem item);

signals:
    void Changed();

private:
    static constexpr std::size_t kItems = static_cast<std::size_t>(kLastToolItem) + 1;
    static std::size_t index(ToolItem item) { return static_cast<std::size_t>(item); }

    std::array<bool, kItems> checked_{};
    ToolItem tool_ = ToolItem::Lineal1;
};

}  // namespace tervasko

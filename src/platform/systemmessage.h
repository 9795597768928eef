#pragma once

#include <string>

namespace tervasko {

// A message the core must show although it knows no window (the record list's
// allocation failure). The program installs a message box; the default prints to stderr.
using SystemMessageHandler = void (*)(const std::string& text);

void SetSystemMessageHandler(SystemMessageHandler handler);  // nullptr restores the default
void ShowSystemMessage(const std::string& text);

}  // namespace tervasko

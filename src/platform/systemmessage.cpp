#include "platform/systemmessage.h"

#include <cstdio>

namespace tervasko {
namespace {

void printToStderr(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

SystemMessageHandler gHandler = &printToStderr;

}  // namespace

void SetSystemMessageHandler(SystemMessageHandler handler) {
    gHandler = handler ? handler : &printToStderr;
}

void ShowSystemMessage(const std::string& text) {
    gHandler(text);
}

}  // namespace tervasko

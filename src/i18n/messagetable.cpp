#include "i18n/messagetable.h"

#include "i18n/translationtable.h"

namespace tervasko {
namespace {

// Owned by the main window; only a pointer lives here.
TranslationTable* gProgramTable = nullptr;

}  // namespace

void SetProgramTranslations(TranslationTable* table) {
    gProgramTable = table;
}

TranslationTable* ProgramTranslations() {
    return gProgramTable;
}

std::string TranslateText(std::string_view source) {
    return gProgramTable ? gProgramTable->TranslateText(source) : std::string(source);
}

void GetMessageText(int n, std::string& text) {
    if (gProgramTable) {
        gProgramTable->GetMessageText(n, text);
        return;
    }
    const std::string_view message = MessageSource(n);
    if (!message.empty()) text = message;
}

}  // namespace tervasko

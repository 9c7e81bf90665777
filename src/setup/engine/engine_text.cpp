#include "setup/engine/engine_text.h"

#include "common/language_text.h"
#include "common/sys.h"

namespace setup {

std::string MessageText(const char* key) { return common::messageText().GetText(key); }

bool SystemErrorText(plat::Err err, std::string* text) {
    text->clear();
    if (!common::Sys().errorText().formatMessage(err, text) || text->empty()) {
        text->clear();
        return false;
    }
    return true;
}

std::string TextWithSystemError(const char* key, plat::Err err) {
    std::string text = MessageText(key);
    std::string description;
    if (SystemErrorText(err, &description)) text += "\n" + description;
    return text;
}

}  // namespace setup

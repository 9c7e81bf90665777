// How the installation engine words its failures: a text of the language
// file's Message section, then, when Windows has a description of the
// error, a line break and that description.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace setup {

// The text of `key` in section Message of the language file.
std::string MessageText(const char* key);

// Windows' own description of `err`; false (and *text empty) when it has none.
bool SystemErrorText(plat::Err err, std::string* text);

// MessageText(key), followed by "\n" and the system's description of `err`
// when there is one.
std::string TextWithSystemError(const char* key, plat::Err err);

}  // namespace setup

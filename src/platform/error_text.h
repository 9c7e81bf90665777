// The system's description of an error number (FormatMessageA from the
// system message table, default language, inserts ignored).
#pragma once

#include <string>

#include "platform/win_types.h"

namespace plat {

class ErrorText {
public:
    virtual ~ErrorText() = default;
    // False when the system has no description; the text ends with CR LF as
    // Windows' texts do.
    virtual bool formatMessage(Err code, std::string* text) = 0;
};

}  // namespace plat

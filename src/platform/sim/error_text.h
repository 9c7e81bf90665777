// Windows' English descriptions of the error numbers the programs meet.
#pragma once

#include "platform/error_text.h"

namespace plat::sim {

class SimErrorText : public ErrorText {
public:
    bool formatMessage(Err code, std::string* text) override;
};

}  // namespace plat::sim

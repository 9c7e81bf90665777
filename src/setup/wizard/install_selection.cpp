#include "setup/wizard/install_selection.h"

namespace setup {

int installMode = 1;
std::string resultText;

}  // namespace setup

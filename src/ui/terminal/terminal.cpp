#include "ui/model.h"

namespace ui {
std::unique_ptr<Driver> MakeTerminalDriver() { return nullptr; }
}  // namespace ui

// The dialog font of the Chinese texts (DEVICENAME/LANGUAGE 0): SimSun at
// 13, the GB2312 character set.
#pragma once

#include "ui/dialog.h"

namespace common {

ui::Font ChineseFont();

}  // namespace common

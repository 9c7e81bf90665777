#include "common/chinese_font.h"

namespace common {

ui::Font ChineseFont() {
    ui::Font font;
    font.face = "\xCB\xCE\xCC\xE5";   // 宋体
    font.height = 13;
    font.weight = 400;
    font.charset = 134;               // GB2312
    font.pitchAndFamily = 0x20;       // Swiss family, default pitch
    return font;
}

}  // namespace common

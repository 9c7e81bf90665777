#include "ui/template.h"

namespace ui {

const char* KindName(Kind kind) {
    static const char* const names[] = {
        "static", "frame", "etchedframe", "etchedline", "groupbox", "button", "defbutton", "radio", "autoradio",
        "checkbox", "autocheckbox", "droplist", "edit", "listbox", "listview", "progress", "icon",
    };
    return names[static_cast<int>(kind)];
}

bool IsButtonKind(Kind kind) { return kind >= Kind::PushButton && kind <= Kind::AutoCheckBox; }

bool IsListKind(Kind kind) { return kind == Kind::DropList || kind == Kind::ListBox || kind == Kind::ListView; }

}  // namespace ui

// Dialog templates held as data: the dialog's frame and every control with
// its id, kind, place and size in dialog units, initial text and styles.
// Both back ends and the tests read the same tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// No id (a separator line, a decorative frame).
inline constexpr int kNoId = -1;

enum class Kind : std::uint8_t {
    Static,         // text; Center or Right aligns it
    Frame,          // a plain rectangle (a picture area)
    EtchedFrame,    // an etched rectangle (the wizard's page frame)
    EtchedLine,     // an etched horizontal line
    GroupBox,       // a frame with a caption
    PushButton,
    DefPushButton,  // the button Enter presses
    RadioButton,    // the program checks it
    AutoRadioButton,
    CheckBox,       // the program checks it
    AutoCheckBox,
    DropList,       // a drop-down list without an edit field; Sorted keeps it in order
    Edit,           // MultiLine, ReadOnly
    ListBox,
    ListView,       // a list view; check boxes come with SetListViewStyle
    Progress,
    Icon,           // shows the icon resource named by the control's text ("128")
};

// Styles, or-ed together.
enum Style : std::uint32_t {
    kHidden = 1u << 0,
    kDisabled = 1u << 1,
    kTabStop = 1u << 2,
    kGroup = 1u << 3,        // starts a group of radio buttons (and a tab group)
    kSorted = 1u << 4,       // lists: sorted insertion
    kMultiLine = 1u << 5,
    kReadOnly = 1u << 6,
    kVScroll = 1u << 7,
    kBorder = 1u << 8,
    kCenter = 1u << 9,
    kRight = 1u << 10,
    kAutoVScroll = 1u << 11,
    kNoIntegralHeight = 1u << 12,
    kNotify = 1u << 13,      // a static that reports clicks
};

struct ControlTemplate {
    int id = kNoId;
    Kind kind = Kind::Static;
    int x = 0, y = 0, w = 0, h = 0;  // dialog units
    std::string text;
    std::uint32_t style = 0;
};

// Frame styles of a dialog.
enum DialogStyle : std::uint32_t {
    kChild = 1u << 0,        // a page created inside a parent, without caption
    kCaption = 1u << 1,
    kSysMenu = 1u << 2,
    kMinimizeBox = 1u << 3,
    kModalFrame = 1u << 4,
    kCentered = 1u << 5,
    kAppWindow = 1u << 6,    // shown in the task bar
    kControlParent = 1u << 7,
};

struct DialogTemplate {
    int id = 0;
    int w = 0, h = 0;  // dialog units
    std::string caption;
    std::uint32_t style = 0;
    std::string fontFace = "System";
    int fontSize = 10;
    std::vector<ControlTemplate> controls;

    const ControlTemplate* find(int controlId) const {
        for (const ControlTemplate& c : controls)
            if (c.id == controlId && controlId != kNoId) return &c;
        return nullptr;
    }
};

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect&) const = default;
};

// The kind's name in dumps and error messages ("droplist").
const char* KindName(Kind kind);
bool IsButtonKind(Kind kind);   // push, default push, radio and check boxes
bool IsListKind(Kind kind);     // drop-down list, list box, list view

}  // namespace ui

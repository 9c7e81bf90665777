// CEditEx: an edit control with its own text and background colours, an
// optional font, an optional filter for typed characters and an optional
// context menu. The agreement text uses it so that its read-only text is
// drawn on the window background instead of the read-only grey.
#pragma once

#include <memory>
#include <optional>

#include "ui/dialog.h"

namespace setup {

// Decides which typed characters an edit control accepts.
class CharFilter {
public:
    virtual ~CharFilter() = default;
    virtual bool Accept(unsigned ch) = 0;
};

class CEditEx : public ui::Control {
public:
    CEditEx();
    ~CEditEx() override;

    ui::Color backColor = ui::kColorWindow;
    ui::Color textColor = ui::kColorWindowText;
    std::unique_ptr<CharFilter> charFilter;   // none: every character
    std::optional<ui::Font> font;
    unsigned contextMenuId = 0;               // 0: the edit control's own menu

    // Return the previous colour.
    ui::Color SetBackColor(ui::Color color);
    ui::Color SetTextColor(ui::Color color);
    void SetLogFont(const ui::Font* font);
    void SetFontSpec(int height, int pitchAndFamily, const char* faceName);
    void CopyStyle(const CEditEx& other);

    // Gives the bound control this object's colours (and font): called once
    // the data exchange has bound it.
    void ApplyStyle();

    // A right click: true when the control shows a menu of the program's
    // own; false leaves the edit control's own menu.
    bool OnContextMenu(int x, int y);

    bool OnChar(unsigned ch) override;
    // How often a refused character made the control beep.
    int BeepCount() const { return beeps_; }

private:
    int beeps_ = 0;
};

}  // namespace setup

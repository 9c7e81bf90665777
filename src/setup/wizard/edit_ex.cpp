#include "setup/wizard/edit_ex.h"

namespace setup {

CEditEx::CEditEx() = default;
CEditEx::~CEditEx() = default;

void CEditEx::ApplyStyle() {
    if (!Owner()) return;
    SetColors(textColor, backColor);
    if (font) SetFont(*font);
}

ui::Color CEditEx::SetBackColor(ui::Color color) {
    ui::Color old = backColor;
    backColor = color;
    if (Owner()) {
        SetColors(textColor, backColor);
        Invalidate();
    }
    return old;
}

ui::Color CEditEx::SetTextColor(ui::Color color) {
    ui::Color old = textColor;
    textColor = color;
    if (Owner()) {
        SetColors(textColor, backColor);
        Invalidate();
    }
    return old;
}

void CEditEx::SetLogFont(const ui::Font* description) {
    if (!description) return;
    font = *description;
    if (font->face.size() > ui::kMaxFaceName) font->face.resize(ui::kMaxFaceName);
    if (Owner()) SetFont(*font);
}

void CEditEx::SetFontSpec(int height, int pitchAndFamily, const char* faceName) {
    ui::Font description;
    description.height = height;
    description.weight = 400;
    description.pitchAndFamily = pitchAndFamily;
    description.face = faceName ? faceName : "";
    SetLogFont(&description);
}

void CEditEx::CopyStyle(const CEditEx& other) {
    if (&other == this) return;
    if (Owner() && other.Owner() == Owner() && other.Id() == Id()) return;   // the same window
    SetBackColor(other.backColor);
    SetTextColor(other.textColor);
    if (other.font) SetLogFont(&*other.font);
}

bool CEditEx::OnContextMenu(int x, int y) {
    // The program carries no menu resources of its own: a menu id cannot be
    // loaded, and the edit control keeps its own menu.
    return false;
}

bool CEditEx::OnChar(unsigned ch) {
    if (!charFilter || charFilter->Accept(ch)) return true;
    ++beeps_;   // the control beeps and drops the character
    return false;
}

}  // namespace setup

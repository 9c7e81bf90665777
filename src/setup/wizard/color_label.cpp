#include "setup/wizard/color_label.h"

#include "common/sys.h"
#include "platform/win_types.h"

namespace setup {

ColorLabel::ColorLabel() {
    // The stock GUI font's description.
    logFont.face = "MS Shell Dlg";
    logFont.height = -11;
    logFont.weight = 400;
}

ColorLabel::~ColorLabel() {
    if (blinkActive && Owner()) KillTimer(kBlinkTimer);
}

void ColorLabel::ApplyColors() {
    if (!Owner()) return;
    const bool dark = blinkMode == 2 && blinkPhase == 0;
    SetColors(textColor, dark ? blinkColor : backColor);
}

void ColorLabel::ApplyStyle() {
    if (!Owner()) return;
    SetFont(logFont);
    ApplyColors();
}

void ColorLabel::Redraw() {
    if (!Owner()) return;
    SetFont(logFont);
    Invalidate();
}

ColorLabel& ColorLabel::SetText(const std::string& text) {
    Control::SetText(text);
    return *this;
}

ColorLabel& ColorLabel::SetTextColor(ui::Color color) {
    textColor = color;
    ApplyColors();
    if (Owner()) Invalidate();
    return *this;
}

ColorLabel& ColorLabel::SetBackColor(ui::Color color) {
    backColor = color;   // drawn with the next repaint
    ApplyColors();
    return *this;
}

ColorLabel& ColorLabel::SetFontHeight(int pixels) {
    logFont.height = -pixels;
    Redraw();
    return *this;
}

ColorLabel& ColorLabel::SetFaceName(const std::string& face) {
    logFont.face = face.substr(0, ui::kMaxFaceName);
    Redraw();
    return *this;
}

ColorLabel& ColorLabel::SetBold(bool on) {
    logFont.weight = on ? 700 : 400;
    Redraw();
    return *this;
}

ColorLabel& ColorLabel::SetUnderline(bool on) {
    logFont.underline = on;
    Redraw();
    return *this;
}

ColorLabel& ColorLabel::SetItalic(bool on) {
    logFont.italic = on;
    Redraw();
    return *this;
}

ColorLabel& ColorLabel::SetSunken(bool on) {
    sunken = on ? 1 : 0;
    Invalidate();
    return *this;
}

ColorLabel& ColorLabel::SetBorder(bool on) {
    border = on ? 1 : 0;
    Invalidate();
    return *this;
}

ColorLabel& ColorLabel::BlinkText(bool on) {
    if (blinkActive) {
        if (blinkMode == 1) Control::SetText(savedText);
        KillTimer(kBlinkTimer);
        blinkActive = 0;
        blinkMode = 0;
    }
    if (on) {
        savedText = Text();
        blinkPhase = 0;
        blinkActive = 1;
        SetTimer(kBlinkTimer, 500);
        blinkMode = 1;
    }
    return *this;
}

ColorLabel& ColorLabel::BlinkBackground(bool on) {
    if (blinkActive) {
        if (blinkMode == 1) Control::SetText(savedText);
        KillTimer(kBlinkTimer);
        blinkActive = 0;
        blinkMode = 0;
        ApplyColors();
    }
    if (on) {
        blinkPhase = 0;
        blinkActive = 1;
        SetTimer(kBlinkTimer, 500);
        blinkMode = 2;
        ApplyColors();
    }
    return *this;
}

ColorLabel& ColorLabel::SetClickable(bool on) {
    clickable = on ? 1 : 0;
    return *this;
}

ColorLabel& ColorLabel::SetHoverCursor(int cursor) {
    hoverCursor = cursor;
    return *this;
}

void ColorLabel::OnTimer(int timerId) {
    if (timerId != kBlinkTimer) return;
    const int before = blinkPhase;
    blinkPhase = blinkPhase ? 0 : 1;
    if (blinkMode == 1) {
        Control::SetText(before == 1 ? savedText : std::string());
    } else if (blinkMode == 2) {
        ApplyColors();
        Invalidate();
    }
}

void ColorLabel::OnClick() {
    // Only a label with the notify style hears clicks at all.
    if (!clickable) return;
    std::string target = Text();
    common::Sys().desktop().shellExecute("open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace setup

// ColorLabel: a static text with its own text colour, background, font
// attributes, blinking and click-to-open. The port page draws its note about
// the USB driver with one.
#pragma once

#include <string>

#include "ui/dialog.h"

namespace setup {

class ColorLabel : public ui::Control {
public:
    ColorLabel();
    ~ColorLabel() override;

    ColorLabel& SetText(const std::string& text);
    ColorLabel& SetTextColor(ui::Color color);
    ColorLabel& SetBackColor(ui::Color color);
    ColorLabel& SetFontHeight(int pixels);   // character height, not cell height
    ColorLabel& SetFaceName(const std::string& face);   // cut to 31 characters
    ColorLabel& SetBold(bool on);
    ColorLabel& SetUnderline(bool on);
    ColorLabel& SetItalic(bool on);
    ColorLabel& SetSunken(bool on);
    ColorLabel& SetBorder(bool on);
    ColorLabel& BlinkText(bool on);
    ColorLabel& BlinkBackground(bool on);
    ColorLabel& SetClickable(bool on);
    ColorLabel& SetHoverCursor(int cursor);

    // Gives the bound control the colours and the font: called once the data
    // exchange has bound it (the font operations and the colour setters do
    // it themselves afterwards).
    void ApplyStyle();

    void OnTimer(int timerId) override;
    void OnClick() override;   // opens the label's text through the shell

    ui::Color textColor = ui::kColorWindowText;
    ui::Color backColor = ui::kColorBtnFace;
    ui::Color blinkColor = ui::kColorBtnFace;
    ui::Font logFont;
    std::string savedText;
    int blinkPhase = 0;
    int blinkActive = 0;
    int clickable = 1;
    int blinkMode = 0;   // 0 none, 1 text, 2 background
    int hoverCursor = 0;
    int sunken = 0;
    int border = 0;

private:
    static constexpr int kBlinkTimer = 1;
    void Redraw();
    void ApplyColors();
};

}  // namespace setup

#include "setup/wizard/edit_ex.h"

#include <string>

#include <gtest/gtest.h>

#include "ui/dialog.h"

namespace setup {
namespace {

const ui::DialogTemplate kHost = {
    900, 100, 60, "", ui::kChild, "System", 10,
    {
        {1, ui::Kind::Edit, 4, 4, 90, 20, "", ui::kMultiLine},
        {2, ui::Kind::Edit, 4, 30, 90, 20, "", 0},
    },
};

class Host : public ui::Dialog {
public:
    Host() : Dialog(kHost) {}
    CEditEx first, second;

protected:
    void DoDataExchange(ui::DataExchange& dx) override {
        dx.Control(1, first);
        dx.Control(2, second);
    }
};

class NoDigits : public CharFilter {
public:
    bool Accept(unsigned ch) override { return ch < '0' || ch > '9'; }
};

// A filter decides which typed characters stay; each refused one beeps.
TEST(CEditExTest, CharacterFilter) {
    Host host;
    host.UpdateData(false);   // binds both controls
    host.first.charFilter = std::make_unique<NoDigits>();
    struct Case {
        int id;
        unsigned ch;
        bool kept;
    } cases[] = {{1, 'a', true}, {1, '5', false}, {1, ' ', true}, {1, '0', false}, {2, '5', true}};
    for (const Case& c : cases) EXPECT_EQ(ui::Events::Char(host, c.id, c.ch), c.kept) << c.id << " " << c.ch;
    EXPECT_EQ(host.first.BeepCount(), 2);
    EXPECT_EQ(host.second.BeepCount(), 0);
}

// The program has no menus of its own: any menu id leaves the edit
// control's own context menu.
TEST(CEditExTest, ContextMenuFallsBack) {
    CEditEx edit;
    for (unsigned id : {0u, 128u, 40000u}) {
        edit.contextMenuId = id;
        EXPECT_FALSE(edit.OnContextMenu(10, 10)) << id;
    }
}

// Copying the style takes the colours and the font; a face name longer than
// a font description holds is cut; copying from itself changes nothing.
TEST(CEditExTest, StyleAndFonts) {
    CEditEx a, b;
    EXPECT_EQ(a.backColor, ui::kColorWindow);
    EXPECT_EQ(a.textColor, ui::kColorWindowText);
    EXPECT_EQ(a.SetBackColor(ui::Rgb(1, 2, 3)), ui::kColorWindow);
    EXPECT_EQ(a.SetTextColor(ui::Rgb(4, 5, 6)), ui::kColorWindowText);
    a.SetFontSpec(-12, 0x31, "A face name that is far too long for LOGFONT");
    ASSERT_TRUE(a.font.has_value());
    EXPECT_EQ(a.font->face, std::string("A face name that is far too lon"));
    EXPECT_EQ(a.font->height, -12);
    EXPECT_EQ(a.font->weight, 400);
    EXPECT_EQ(a.font->pitchAndFamily, 0x31);

    b.CopyStyle(a);
    EXPECT_EQ(b.backColor, ui::Rgb(1, 2, 3));
    EXPECT_EQ(b.textColor, ui::Rgb(4, 5, 6));
    EXPECT_EQ(b.font, a.font);
    a.CopyStyle(a);
    EXPECT_EQ(a.backColor, ui::Rgb(1, 2, 3));

    b.SetLogFont(nullptr);   // no description: nothing changes
    EXPECT_EQ(b.font, a.font);
}

}  // namespace
}  // namespace setup

#include "setup/wizard/color_label.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/sim_sys_for_tests.h"
#include "ui/test_support.h"

namespace setup {
namespace {

const ui::DialogTemplate kHost = {
    901, 120, 40, "Label", ui::kCaption, "System", 10,
    {
        {1065, ui::Kind::Static, 4, 4, 110, 10, "Note", 0},
    },
};

class CountingLabel : public ColorLabel {
public:
    int ticks = 0;
    std::vector<std::string> texts;   // the text after each of the first ticks
    void OnTimer(int timerId) override {
        ColorLabel::OnTimer(timerId);
        ++ticks;
        if (texts.size() < 4) texts.push_back(Text());
    }
};

class Host : public ui::Dialog {
public:
    Host() : Dialog(kHost) {}
    CountingLabel label;
    std::function<void(Host&)> init;
    std::string restored;
    int ticksAtCancel = -1;

protected:
    void DoDataExchange(ui::DataExchange& dx) override { dx.Control(1065, label); }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        label.ApplyStyle();
        if (init) init(*this);
        return true;
    }
    void OnCancel() override {
        label.BlinkText(false);
        restored = label.Text();
        ticksAtCancel = label.ticks;
        EndDialog(IDCANCEL);
    }
};

// The text blinks every 500 ms between itself and nothing; switching the
// blink off restores it and stops the timer.
TEST(ColorLabelTest, BlinkText) {
    ui::test::VirtualClock clock;
    ui::Hooks hooks;
    hooks.clock = &clock;
    ui::test::ScriptRun run("wait\nkey ESCAPE\n", hooks);
    Host host;
    host.init = [](Host& h) { h.label.BlinkText(true); };
    host.DoModal();
    run.finish();
    EXPECT_EQ(run.failStatus, 0);
    EXPECT_EQ(host.label.texts, (std::vector<std::string>{"", "Note", "", "Note"}));
    // Ten minutes of virtual time at one tick per 500 ms.
    EXPECT_EQ(host.ticksAtCancel, 1200);
    EXPECT_EQ(host.restored, "Note");
    EXPECT_EQ(host.label.blinkActive, 0);
}

// The port page's notice: blue 14-pixel Arial on pink; font heights are
// character heights, and face names are cut to what a font description holds.
TEST(ColorLabelTest, ColoursAndFont) {
    ui::test::ScriptRun run("dump\nkey ESCAPE\n");
    Host host;
    host.init = [](Host& h) {
        h.label.SetTextColor(ui::Rgb(0, 0, 255));
        h.label.SetBackColor(ui::Rgb(255, 202, 253));
        h.label.SetFontHeight(14);
        h.label.SetFaceName("Arial");
    };
    host.DoModal();
    run.finish();
    EXPECT_NE(run.out().find("1065 static \"Note\" enabled shown color=#0000FF back=#FFCAFD"), std::string::npos)
        << run.out();
    EXPECT_EQ(host.label.logFont.height, -14);
    EXPECT_EQ(host.label.logFont.face, "Arial");

    host.label.SetFaceName(std::string(40, 'F'));
    EXPECT_EQ(host.label.logFont.face, std::string(31, 'F'));
    host.label.SetBold(true);
    EXPECT_EQ(host.label.logFont.weight, 700);
    host.label.SetBold(false);
    EXPECT_EQ(host.label.logFont.weight, 400);
}

// A click opens the label's text through the shell, unless clicks are off.
TEST(ColorLabelTest, ClickOpensTheText) {
    for (bool clickable : {true, false}) {
        common::SimSys sys;
        ui::test::ScriptRun run("key ESCAPE\n");
        Host host;
        host.init = [clickable](Host& h) {
            h.label.SetText("Drivanto_EN.CHM");
            h.label.SetClickable(clickable);
            ui::Events::StaticClick(h, 1065);
        };
        host.DoModal();
        run.finish();
        std::string log = sys.machine().log();
        EXPECT_EQ(log.find("ShellExecute \"open\" \"Drivanto_EN.CHM\" parameters (null) directory (null) show 1") !=
                      std::string::npos,
                  clickable)
            << log;
    }
}

}  // namespace
}  // namespace setup

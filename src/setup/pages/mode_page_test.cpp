#include "setup/pages/mode_page.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "setup/wizard/wizard_test_fixture.h"

namespace setup {
namespace {

using common::SimSys;
using test::ControlLine;
using test::WizardRun;

const char kNote1[] =
    "1068 static \"Typical: installs the printer on the first USB port,\\nor on the first parallel or serial "
    "port.\" enabled shown";
const char kNote2[] =
    "1068 static \"Advanced: lets you choose any USB port\\nand changes the USB number of the printer when "
    "needed.\" enabled shown";
const char kNote3Shown[] =
    "1069 static \"Connect and switch on only one USB printer\\nwhile the setup runs.\" enabled shown";

class ModePageTest : public test::WizardTest {};

// Typical on the first visit; advanced shows its two note lines; typical
// again hides the second; the mode follows each click.
TEST_F(ModePageTest, TypicalAndAdvanced) {
    struct Case {
        const char* name;
        const char* clicks;
        std::vector<std::string> lines;
        int installMode;
    } cases[] = {
        {"first visit", "",
         {"1066 autoradio \"&Typical installation\" enabled shown checked",
          "1067 autoradio \"&Advanced installation\" enabled shown unchecked", kNote1,
          "1069 static \"2\" enabled hidden", "1070 static \"3\" enabled hidden",
          "1103 groupbox \"Installation mode\" enabled shown", "1104 static \"Remarks\" enabled shown"},
         1},
        {"advanced", "click 1067\n",
         {"1067 autoradio \"&Advanced installation\" enabled shown checked", kNote2, kNote3Shown,
          "1070 static \"3\" enabled hidden"},
         0},
        {"typical again", "click 1067\nclick 1066\n",
         {"1066 autoradio \"&Typical installation\" enabled shown checked", kNote1,
          "1069 static \"Connect and switch on only one USB printer\\nwhile the setup runs.\" enabled hidden",
          "1070 static \"3\" enabled hidden"},
         1},
        {"kept across a visit of the model page", "click 1067\nclick 1002\nkey ENTER\n",
         {"1067 autoradio \"&Advanced installation\" enabled shown checked", kNote2, kNote3Shown}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimSys sys;   // the demo medium: QPX-T510 allows the advanced mode
        int mode = -1;
        WizardRun run = Run(std::string("key ENTER\n") + c.clicks + "dump\nkey ESCAPE\n", false, false,
                            [&](SetupWindows& w) { mode = w.modePage.installMode; });
        EXPECT_EQ(run.failStatus, 0) << run.err;
        ASSERT_EQ(run.Dumps().size(), 1u);
        const std::string dump = run.Dumps()[0];
        ASSERT_EQ(test::ShownPages(dump), std::vector<int>{137});
        for (const std::string& line : c.lines) {
            int id = std::stoi(line.substr(0, line.find(' ')));
            EXPECT_EQ(ControlLine(dump, id), line);
        }
        EXPECT_EQ(mode, c.installMode);
    }
}

}  // namespace
}  // namespace setup

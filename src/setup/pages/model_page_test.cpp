#include "setup/pages/model_page.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "setup/wizard/wizard_test_fixture.h"

namespace setup {
namespace {

using common::SimSys;
using plat::sim::TempMedium;
using test::ControlLine;
using test::WizardRun;

class ModelPageTest : public test::WizardTest {
protected:
    struct Result {
        WizardRun run;
        std::string modelName;
        int printerType = -2;
        int hasModels = -1;
        int setAsDefault = -1;
    };
    // Runs the wizard (which opens on the model page) with the model list
    // `devicename` and `script`.
    Result RunModels(const std::string& devicename, const std::string& script) {
        TempMedium medium;
        medium.write("DRVCONFIG/setup.ini", "[DEVICENAME]\r\n" + devicename + "LANGUAGE=1\r\n");
        SimSys sys(SimSys::WithMedium(medium.dir()));
        Result r;
        r.run = Run(script, false, false, [&](SetupWindows& w) {
            r.modelName = w.modelPage.modelName;
            r.printerType = w.modelPage.printerType;
            r.hasModels = w.modelPage.hasModels;
            r.setAsDefault = w.modelPage.setAsDefault;
        });
        EXPECT_EQ(r.run.failStatus, 0) << r.run.err;
        return r;
    }
};

// The lists per type, the preselected default and the enabled states.
TEST_F(ModelPageTest, ListsAndDefault) {
    struct Case {
        const char* name;
        const char* devicename;
        std::vector<std::string> lines;   // control lines of the first dump
        const char* modelName;
        int printerType;
        int hasModels;
    } cases[] = {
        // The default names an entry beyond the count: nothing is preselected.
        {"no models", "DEVICENUMBER=0\r\nDEVICENAME1=A-ReceiptPrinter\r\nDEFAULTNAME=1\r\n",
         {"1019 autoradio \"Receipt printer\" disabled shown unchecked",
          "1020 autoradio \"Ticket printer\" disabled shown unchecked",
          "1021 autoradio \"Label printer\" disabled shown unchecked",
          "1073 autoradio \"Embedded printer\" disabled shown unchecked",
          "1030 droplist \"\" disabled shown items=[] sel=-1",
          "1031 droplist \"\" disabled shown items=[] sel=-1",
          "1032 droplist \"\" disabled shown items=[] sel=-1",
          "1074 droplist \"\" disabled shown items=[] sel=-1"},
         "", -1, 0},
        {"two types, the default the second receipt printer",
         "DEVICENUMBER=3\r\nDEVICENAME1=A-ReceiptPrinter\r\nDEVICENAME2=B-LabelPrinter\r\n"
         "DEVICENAME3=C-ReceiptPrinter\r\nDEFAULTNAME=3\r\n",
         {"1019 autoradio \"Receipt printer\" enabled shown checked",
          "1020 autoradio \"Ticket printer\" disabled shown unchecked",
          "1021 autoradio \"Label printer\" enabled shown unchecked",
          "1073 autoradio \"Embedded printer\" disabled shown unchecked",
          "1030 droplist \"\" enabled shown items=[\"A\",\"C\"] sel=1",
          "1031 droplist \"\" disabled shown items=[] sel=-1",
          "1032 droplist \"\" disabled shown items=[\"B\"] sel=0",
          "1074 droplist \"\" disabled shown items=[] sel=-1"},
         "C", 0, 1},
        {"the default found by prefix after the first item",
         "DEVICENUMBER=2\r\nDEVICENAME1=QPX-T5-TicketPrinter\r\nDEVICENAME2=QPX-T510-TicketPrinter\r\n"
         "DEFAULTNAME=1\r\n",
         {"1020 autoradio \"Ticket printer\" enabled shown checked",
          "1031 droplist \"\" enabled shown items=[\"QPX-T5\",\"QPX-T510\"] sel=1"},
         "QPX-T510", 1, 1},
        {"a default without type",
         "DEVICENUMBER=2\r\nDEVICENAME1=A-EmbeddedPrinter\r\nDEVICENAME2=Notes\r\nDEFAULTNAME=2\r\n",
         {"1073 autoradio \"Embedded printer\" enabled shown unchecked",
          "1074 droplist \"\" disabled shown items=[\"A\"] sel=0"},
         "", -1, 1},
        {"no default", "DEVICENUMBER=1\r\nDEVICENAME1=A-LabelPrinter\r\n",
         {"1021 autoradio \"Label printer\" enabled shown unchecked",
          "1032 droplist \"\" disabled shown items=[\"A\"] sel=0"},
         "", -1, 1},
        {"entries kept in the file's order, untyped ones left out",
         "DEVICENUMBER=4\r\nDEVICENAME1=Z-ReceiptPrinter\r\nDEVICENAME2=junk\r\nDEVICENAME3=A-ReceiptPrinter\r\n"
         "DEFAULTNAME=1\r\n",
         {"1030 droplist \"\" enabled shown items=[\"Z\",\"A\"] sel=0"}, "Z", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Result r = RunModels(c.devicename, "dump\nkey ESCAPE\n");
        ASSERT_EQ(r.run.Dumps().size(), 1u);
        const std::string dump = r.run.Dumps()[0];
        for (const std::string& line : c.lines) {
            int id = std::stoi(line.substr(0, line.find(' ')));
            EXPECT_EQ(ControlLine(dump, id), line);
        }
        EXPECT_EQ(ControlLine(dump, kIdModelGroup), "1094 groupbox \"Select the printer type and model:\" enabled shown");
        EXPECT_EQ(r.modelName, c.modelName);
        EXPECT_EQ(r.printerType, c.printerType);
        EXPECT_EQ(r.hasModels, c.hasModels);
    }
}

// Clicking a type takes the selected model of its list and enables only that
// list; a choice in the list takes that model; a later visit shows the last
// choice as it was.
TEST_F(ModelPageTest, UserChoices) {
    const char* devicename =
        "DEVICENUMBER=4\r\nDEVICENAME1=A-ReceiptPrinter\r\nDEVICENAME2=T1-TicketPrinter\r\n"
        "DEVICENAME3=T2-TicketPrinter\r\nDEVICENAME4=E-EmbeddedPrinter\r\nDEFAULTNAME=1\r\n";
    struct Case {
        const char* name;
        const char* script;
        const char* modelName;
        int printerType;
        int setAsDefault;
        std::vector<std::string> lines;   // of the last dump
    } cases[] = {
        {"a type clicked", "click 1020\ndump\n", "T1", 1, 0,
         {"1030 droplist \"\" disabled shown items=[\"A\"] sel=0",
          "1031 droplist \"\" enabled shown items=[\"T1\",\"T2\"] sel=0"}},
        {"a model chosen", "click 1020\nselect 1031 T2\ndump\n", "T2", 1, 0,
         {"1031 droplist \"\" enabled shown items=[\"T1\",\"T2\"] sel=1"}},
        {"another type after a choice", "click 1020\nselect 1031 T2\nclick 1073\ndump\n", "E", 3, 0,
         {"1031 droplist \"\" disabled shown items=[\"T1\",\"T2\"] sel=1",
          "1074 droplist \"\" enabled shown items=[\"E\"] sel=0"}},
        {"back on the page later", "click 1020\nselect 1031 T2\nclick 1046\nkey ENTER\nclick 1002\ndump\n", "T2", 1, 1,
         {"1020 autoradio \"Ticket printer\" enabled shown checked",
          "1031 droplist \"\" enabled shown items=[\"T1\",\"T2\"] sel=1",
          "1046 autocheckbox \"Set as &default printer\" enabled shown checked"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Result r = RunModels(devicename, std::string(c.script) + "key ESCAPE\n");
        ASSERT_FALSE(r.run.Dumps().empty());
        const std::string dump = r.run.Dumps().back();
        for (const std::string& line : c.lines) {
            int id = std::stoi(line.substr(0, line.find(' ')));
            EXPECT_EQ(ControlLine(dump, id), line);
        }
        EXPECT_EQ(r.modelName, c.modelName);
        EXPECT_EQ(r.printerType, c.printerType);
        EXPECT_EQ(r.setAsDefault, c.setAsDefault);
    }
}

}  // namespace
}  // namespace setup

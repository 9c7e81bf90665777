#include "setup/pages/port_page.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/language_text.h"
#include "common/sim_sys_for_tests.h"
#include "setup/pages/os_page.h"
#include "ui/message_box.h"
#include "ui/test_support.h"

namespace setup {
namespace {

using common::SimSys;
using plat::sim::TempMedium;

// Models of a small receipt type file.
const char kReceiptIni[] =
    "[A.PORT]\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\nUSBSUPPORTED=0\r\nLPTDEFAULT=1\r\n"
    "[B.PORT]\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\nLPTDEFAULT=0\r\n"
    "[U.PORT]\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\nUSBSUPPORTED=1\r\nLPTDEFAULT=1\r\nRASTERVISIABLE=0\r\n"
    "[N.PORT]\r\nLPTSUPPORTED=0\r\nCOMSUPPORTED=1\r\nUSBSUPPORTED=1\r\n"
    "[R1.PORT]\r\nLPTSUPPORTED=1\r\nRASTERVISIABLE=1\r\n"
    "[R2.PORT]\r\nLPTSUPPORTED=1\r\nRASTERVISIABLE=2\r\n"
    "[PRINTER.PORT]\r\nLPTSUPPORTED=1\r\n";

const char kOnePrinterBox[] = "MESSAGE Drivanto | More than one USB printer is connected.";

const ui::DialogTemplate kHostTemplate = {
    1, 300, 200, "host", ui::kCaption, "System", 10,
    {
        {100, ui::Kind::PushButton, 220, 180, 40, 14, "step", 0},
        {1001, ui::Kind::EtchedFrame, 0, 0, 210, 170, "", ui::kHidden},
    },
};

// A parent for the page: each click on button 100 runs the next step.
struct Host : ui::Dialog {
    Host() : Dialog(kHostTemplate) {
        On(100, ui::Notify::Clicked, [this] {
            ASSERT_LT(next, steps.size());
            steps[next++](page);
        });
    }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        page.Create(*this);
        page.MoveTo(ItemRect(1001));
        page.ShowWindow(SW_SHOW);
        return true;
    }
    PortPage page;
    std::vector<std::function<void(PortPage&)>> steps;
    std::size_t next = 0;
};

std::vector<std::string> Items(PortPage& p) {
    std::vector<std::string> items;
    ui::ComboBox ports = p.Combo(1049);
    for (int i = 0; i < ports.GetCount(); ++i) items.push_back(ports.GetItemText(i));
    return items;
}

// The dump line of a control.
std::string ControlLine(const std::string& dump, int id) {
    std::size_t at = dump.find("\n  " + std::to_string(id) + " ");
    if (at == std::string::npos) return "";
    return dump.substr(at + 1, dump.find('\n', at + 1) - at - 1);
}

bool SerialListsEnabled(PortPage& p) {
    int on = 0;
    for (int id : {1041, 1042, 1043, 1044, 1045}) on += p.IsItemEnabled(id);
    EXPECT_TRUE(on == 0 || on == 5) << "the serial lists go together";
    return on == 5;
}

class PortPageTest : public ::testing::Test {
protected:
    PortPageTest() {
        ui::SetApplicationName("Drivanto");
        common::LanguageText::SetProgram(common::TextProgram::Setup);
        medium_.write("DRVCONFIG\\setup_receipt.ini", kReceiptIni);
    }
    ~PortPageTest() override { theOsPage = nullptr; }

    plat::sim::TestMachineOptions Options(const std::string& os, std::vector<int> printers = {},
                                          const std::string& bulkusb = "1.0.0.6") {
        plat::sim::TestMachineOptions o = SimSys::WithMedium(medium_.dir(), os);
        o.usbPrinters = std::move(printers);
        o.bulkusbVersion = bulkusb;
        return o;
    }
    // Runs the script against a host with the page; returns the script's output.
    std::string Run(const std::string& script, Host& host, int detectedOs) {
        OsPage os;
        os.osClass = detectedOs;
        theOsPage = &os;
        ui::test::ScriptRun run(script);
        host.DoModal();
        EXPECT_EQ(run.finish(), "");
        EXPECT_EQ(run.failStatus, 0);
        EXPECT_EQ(host.next, host.steps.size());
        theOsPage = nullptr;
        return run.out();
    }
    TempMedium medium_;
};

TEST_F(PortPageTest, ListsAndPreselection) {
    struct Case {
        const char* what;
        const char* model;
        const char* os;
        int osClass;
        int mode;
        std::vector<int> printers;
        std::vector<std::string> items;
        const char* selected;
        bool serial;
        int raster;
        int usbPortNumber;
    } cases[] = {
        {"LPT default on XP", "A", "xp", 3, 1, {},
         {"KSCOM1:", "KSCOM2:", "KSCOM3:", "KSCOM4:", "KSCOM5:", "KSCOM6:", "KSCOM7:", "KSCOM8:", "LPT1:", "LPT2:", "LPT3:"},
         "LPT1:", false, 1, -1},
        {"no LPT default: item 0", "B", "xp", 3, 1, {},
         {"KSCOM1:", "KSCOM2:", "KSCOM3:", "KSCOM4:", "KSCOM5:", "KSCOM6:", "KSCOM7:", "KSCOM8:", "LPT1:", "LPT2:", "LPT3:"},
         "KSCOM1:", true, 0, -1},
        {"Windows 98", "A", "98", 0, 1, {}, {"COM1:", "COM2:", "LPT1:"}, "LPT1:", false, 1, -1},
        {"USB printer 9, typical", "U", "xp", 3, 1, {9},
         {"KSCOM1:", "KSCOM2:", "KSCOM3:", "KSCOM4:", "KSCOM5:", "KSCOM6:", "KSCOM7:", "KSCOM8:", "LPT1:", "LPT2:", "LPT3:",
          "USB_U_1"},
         "USB_U_1", false, 1, 2},
        {"USB printer 9, advanced", "U", "xp", 3, 0, {9},
         {"KSCOM1:", "KSCOM2:", "KSCOM3:", "KSCOM4:", "KSCOM5:", "KSCOM6:", "KSCOM7:", "KSCOM8:", "LPT1:", "LPT2:", "LPT3:",
          "USB_U_1", "USB_U_2", "USB_U_3", "USB_U_4"},
         "USB_U_2", false, 1, 2},
        {"USB printer 6, advanced: port 7 is not listed", "U", "xp", 3, 0, {6},
         {"KSCOM1:", "KSCOM2:", "KSCOM3:", "KSCOM4:", "KSCOM5:", "KSCOM6:", "KSCOM7:", "KSCOM8:", "LPT1:", "LPT2:", "LPT3:",
          "USB_U_1", "USB_U_2", "USB_U_3", "USB_U_4"},
         "KSCOM1:", true, 0, 7},
        {"no USB printer: LPT default", "U", "xp", 3, 1, {},
         {"KSCOM1:", "KSCOM2:", "KSCOM3:", "KSCOM4:", "KSCOM5:", "KSCOM6:", "KSCOM7:", "KSCOM8:", "LPT1:", "LPT2:", "LPT3:",
          "USB_U_1"},
         "LPT1:", false, 1, -1},
        {"NT 4.0 lists no USB port", "U", "nt4", 1, 1, {9},
         {"KSCOM1:", "KSCOM2:", "KSCOM3:", "KSCOM4:", "KSCOM5:", "KSCOM6:", "KSCOM7:", "KSCOM8:", "LPT1:", "LPT2:", "LPT3:"},
         "", true, 0, 2},
        {"advanced without LPT selects item 0", "N", "xp", 3, 0, {},
         {"KSCOM1:", "KSCOM2:", "KSCOM3:", "KSCOM4:", "KSCOM5:", "KSCOM6:", "KSCOM7:", "KSCOM8:", "USB_N_1", "USB_N_2",
          "USB_N_3", "USB_N_4"},
         "KSCOM1:", true, 0, -1},
        {"a model without ports", "Z", "xp", 3, 1, {}, {}, "", true, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimSys sys(Options(c.os, c.printers));
        Host host;
        host.steps.push_back([&](PortPage& p) {
            p.installMode = c.mode;
            p.FillPorts(c.model, c.osClass, 0);
            EXPECT_EQ(Items(p), c.items);
            EXPECT_STREQ(p.portName, c.selected);
            EXPECT_EQ(p.Combo(1049).GetSelectedText(), c.selected);
            EXPECT_EQ(SerialListsEnabled(p), c.serial);
            EXPECT_EQ(p.rasterPrinting, c.raster);
            EXPECT_EQ(p.IsButtonChecked(1052), c.raster);
            EXPECT_EQ(p.IsItemEnabled(1052), c.raster == 1);
            EXPECT_EQ(p.IsItemVisible(1052), c.mode == 0);   // typical mode hides the box
            EXPECT_EQ(p.usbPortNumber, c.usbPortNumber);
        });
        Run("click 100\nkey ESCAPE\n", host, c.osClass);
    }
}

TEST_F(PortPageTest, RebuildsOnlyForAnotherModelOrMode) {
    SimSys sys(Options("xp", {8, 9}));   // every device query shows the two-printer message
    Host host;
    auto fill = [](const char* model, int mode) {
        return [=](PortPage& p) {
            p.installMode = mode;
            p.FillPorts(model, 3, 0);
        };
    };
    host.steps = {fill("U", 1), fill("U", 1), fill("U", 0), fill("U", 0), fill("A", 0),
                  [](PortPage& p) {
                      EXPECT_EQ(p.listedModel, "A");
                      EXPECT_EQ(listedMode, 0);
                  }};
    std::string out = Run(
        "answer ok\nclick 100\nselect 1049 KSCOM3:\nclick 100\nanswer ok\nclick 100\nclick 100\nanswer ok\n"
        "click 100\nclick 100\nkey ESCAPE\n",
        host, 3);
    // Three builds, three device queries; the second visit kept the choice.
    std::size_t count = 0;
    for (std::size_t at = out.find(kOnePrinterBox); at != std::string::npos; at = out.find(kOnePrinterBox, at + 1))
        ++count;
    EXPECT_EQ(count, 3u) << out;
}

TEST_F(PortPageTest, SecondVisitKeepsTheChoice) {
    SimSys sys(Options("xp"));
    Host host;
    host.steps = {[](PortPage& p) { p.FillPorts("A", 3, 0); },
                  [](PortPage& p) {
                      p.FillPorts("A", 3, 0);
                      EXPECT_STREQ(p.portName, "KSCOM3:");
                      EXPECT_TRUE(SerialListsEnabled(p));
                  }};
    Run("click 100\nselect 1049 KSCOM3:\nclick 100\nkey ESCAPE\n", host, 3);
}

TEST_F(PortPageTest, ModelNamedPrinterGetsNoListOnTheFirstTypicalVisit) {
    SimSys sys(Options("xp"));
    Host host;
    host.steps = {[](PortPage& p) {
        p.FillPorts("PRINTER", 3, 0);
        EXPECT_TRUE(Items(p).empty());
        EXPECT_STREQ(p.portName, "");
    }};
    Run("click 100\nkey ESCAPE\n", host, 3);
}

TEST_F(PortPageTest, UsbDriverNotice) {
    struct Case {
        const char* what;
        const char* bulkusb;
        int detectedOs;
        bool shown;
    } cases[] = {
        {"XP without the driver", "", 3, true},
        {"XP with the driver", "1.0.0.5", 3, false},
        {"NT 4.0 does not check", "", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimSys sys(Options("xp", {8}, c.bulkusb));
        Host host;
        host.steps = {[](PortPage& p) { p.FillPorts("U", 3, 0); }};
        std::string out = Run("click 100\ndump\nselect 1049 LPT2:\ndump\nkey ESCAPE\n", host, c.detectedOs);
        std::size_t second = out.find("dialog 1", 1);
        ASSERT_NE(second, std::string::npos) << out;
        std::string before = out.substr(0, second), after = out.substr(second);
        const std::string notice =
            "1065 static \"The USB printer driver is not installed yet; the setup installs it first.\" enabled shown "
            "color=#0000FF back=#FFCAFD";
        EXPECT_EQ(before.find(notice) != std::string::npos, c.shown) << before;
        EXPECT_NE(ControlLine(after, 1065).find(" hidden"), std::string::npos) << after;
    }
}

TEST_F(PortPageTest, PortChoiceSwitchesTheControls) {
    SimSys sys(Options("xp", {}, ""));
    Host host;
    auto expect = [](const char* port, bool serial, int raster) {
        return [=](PortPage& p) {
            EXPECT_STREQ(p.portName, port);
            EXPECT_EQ(SerialListsEnabled(p), serial) << port;
            EXPECT_EQ(p.rasterPrinting, raster) << port;
            EXPECT_EQ(p.IsItemEnabled(1052), raster == 1) << port;
            EXPECT_EQ(p.IsButtonChecked(1052), raster) << port;
        };
    };
    host.steps = {[](PortPage& p) {
                      p.installMode = 0;
                      p.FillPorts("U", 3, 0);
                  },
                  expect("KSCOM2:", true, 0), expect("USB_U_3", false, 1), expect("LPT3:", false, 1)};
    Run("click 100\nselect 1049 KSCOM2:\nclick 100\nselect 1049 USB_U_3\nclick 100\nselect 1049 LPT3:\nclick 100\n"
        "key ESCAPE\n",
        host, 3);
}

TEST_F(PortPageTest, SerialSettings) {
    SimSys sys(Options("xp"));
    Host host;
    host.steps = {[](PortPage& p) {
                      p.FillPorts("B", 3, 0);
                      EXPECT_EQ(p.dataBits, 8);
                      EXPECT_EQ(p.stopBits, 1.0);
                      EXPECT_EQ(p.parity, 'n');
                      EXPECT_EQ(p.flowControl, 'p');
                      p.PresetBaudRate(9600);
                      EXPECT_EQ(p.Combo(1041).GetSelectedText(), "9600");
                  },
                  [](PortPage& p) {
                      EXPECT_EQ(p.baudRate, 19200);
                      EXPECT_EQ(p.dataBits, 7);
                      EXPECT_EQ(p.stopBits, 1.5);
                      EXPECT_EQ(p.parity, 'E');
                      // The protocol counts by its place in the list, whatever its text.
                      EXPECT_EQ(p.flowControl, 'x');
                  },
                  [](PortPage& p) {
                      EXPECT_EQ(p.parity, 'S');
                      EXPECT_EQ(p.flowControl, ' ');
                      EXPECT_EQ(p.stopBits, 2.0);
                  }};
    Run("click 100\nselect 1041 19200\nselect 1042 7\nselect 1044 1.5\nselect 1043 Even\nselect 1045 Xon / Xoff\n"
        "click 100\nselect 1043 Space\nselect 1045 None\nselect 1044 2\nclick 100\nkey ESCAPE\n",
        host, 3);
}

TEST_F(PortPageTest, BaudPresetTable) {
    SimSys sys(Options("xp"));
    Host host;
    host.steps = {[](PortPage& p) {
        const std::pair<int, const char*> cases[] = {{110, "110"},     {9600, "9600"},   {57600, "57600"},
                                                     {115200, "115200"}, {38400, "38400"}, {12345, "38400"}};
        for (const auto& [baud, shown] : cases) {
            p.PresetBaudRate(baud);
            EXPECT_EQ(p.baudRate, baud);
            EXPECT_EQ(p.Combo(1041).GetSelectedText(), shown) << baud;
        }
    }};
    Run("click 100\nkey ESCAPE\n", host, 3);
}

TEST_F(PortPageTest, RasterBoxVisibilityInAdvancedMode) {
    SimSys sys(Options("xp"));
    Host host;
    auto fill = [](const char* model, int mode, bool visible) {
        return [=](PortPage& p) {
            p.installMode = mode;
            p.FillPorts(model, 3, 0);
            EXPECT_EQ(p.IsItemVisible(1052), visible) << model << " " << mode;
        };
    };
    // R1 hides it; R2 leaves it as it was (hidden after R1, shown after A).
    host.steps = {fill("R1", 0, false), fill("R2", 0, false), fill("A", 0, true), fill("R2", 1, false),
                  fill("R2", 0, false)};
    Run("click 100\nclick 100\nclick 100\nclick 100\nclick 100\nkey ESCAPE\n", host, 3);
}

TEST_F(PortPageTest, TextsFromTheLanguageFile) {
    SimSys sys(Options("xp"));
    Host host;
    host.steps = {[](PortPage& p) {
        EXPECT_EQ(p.ItemText(1095), "Set the printer port and confirm the setup");
        EXPECT_EQ(p.ItemText(1052), "Raster graphic printing");
        EXPECT_EQ(p.Combo(1043).GetSelectedText(), "None");
        EXPECT_EQ(p.Combo(1045).GetSelectedText(), "Hardware");
        EXPECT_EQ(p.Combo(1042).GetSelectedText(), "8");
        EXPECT_EQ(p.Combo(1044).GetSelectedText(), "1");
        EXPECT_EQ(p.listedModel, "PRINTER");
        EXPECT_EQ(p.usbPortNumber, -1);
    }};
    std::string out = Run("click 100\ndump\nkey ESCAPE\n", host, 3);
    EXPECT_NE(out.find("tip=\"按“F1”查看帮助\""), std::string::npos) << out;
}

}  // namespace
}  // namespace setup

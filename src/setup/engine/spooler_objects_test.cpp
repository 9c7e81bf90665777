// The driver, the printer under a free name, the port list probe and the
// default printer on every Windows family.
#include "setup/engine/spooler_objects.h"

#include <gtest/gtest.h>

#include "setup/engine/engine_test_fixture.h"
#include "setup/engine/engine_text.h"

namespace setup::test {
namespace {

// A machine with the fixture's driver installed, ready for printers.
class SpoolerObjects : public ::testing::Test {
protected:
    void Prepare(const char* os, int osClass) {
        selection_.reset();
        machine_.reset();
        machine_ = std::make_unique<EngineMachine>(os, medium_);
        // The selection's configuration reader asks the machine for the
        // program's folder, so it comes after the machine.
        selection_ = std::make_unique<InstallSelection>();
        InstallSelection& s = *selection_;
        FillSelection(s, osClass, "LPT1:");
        for (char* file : {s.driverFiles.configFile, s.driverFiles.dataFile, s.driverFiles.driverPath,
                           s.driverFiles.helpFile}) {
            ASSERT_EQ(CopyDriverFile(file, DriverDir, osClass, false, resultText), 1);
        }
        s.driverInfo.pDependentFiles = nullptr;
        ASSERT_TRUE(AddDriver(s.driverInfo, resultText)) << resultText;
        printer_ = s.printerInfo;
        printer_.pPrintProcessor = const_cast<char*>("WinPrint");
    }
    bool AddPrinterNamed(const std::string& name) {
        plat::PRINTER_INFO_2 info = printer_;
        std::string copy = name;
        info.pPrinterName = copy.data();
        plat::Handle h = 0;
        if (machine_->sys().spooler().addPrinter(nullptr, 2, info, &h) != 0) return false;
        machine_->sys().spooler().closePrinter(h);
        return true;
    }
    std::string Default() { return machine_->sys().profile().getProfileString("windows", "device", "", 512); }

    EngineMedium medium_;
    std::unique_ptr<EngineMachine> machine_;
    std::unique_ptr<InstallSelection> selection_;
    plat::PRINTER_INFO_2 printer_{};
    char name_[260] = "TP-100(P)";
};

// A taken name on a COM or LPT port goes to (1), then (2); on USB it fails.
TEST_F(SpoolerObjects, TakenNamesAreNumberedExceptOnUsb) {
    Prepare("xp", 3);
    ASSERT_TRUE(AddPrinterNamed("TP-100(P)"));
    ASSERT_TRUE(AddPrinterNamed("TP-100(P)(1)"));
    printer_.pPrinterName = name_;
    EXPECT_TRUE(AddPrinterNumbered(&printer_, name_, false, resultText));
    EXPECT_STREQ(printer_.pPrinterName, "TP-100(P)(2)");
    EXPECT_EQ(printer_.pPrinterName, name_);

    std::snprintf(name_, sizeof name_, "TP-100(P)");
    printer_.pPrinterName = name_;
    EXPECT_FALSE(AddPrinterNumbered(&printer_, name_, true, resultText));
    EXPECT_EQ(resultText, "<IDS_ERR_TOOMANY>");
    EXPECT_STREQ(printer_.pPrinterName, "");
}

// Numbering stops at (98): the 99th attempt is P(98), and when that name is
// taken too there is no 100th attempt.
TEST_F(SpoolerObjects, NumberingEndsAt98) {
    Prepare("2000", 2);
    auto takeNextCalls = [this](int calls) {
        for (int nth = 1; nth <= calls; ++nth) {
            machine_->machine().failCall("spooler.addPrinter", nth, ERROR_PRINTER_ALREADY_EXISTS);
        }
    };
    takeNextCalls(98);
    std::snprintf(name_, sizeof name_, "P");
    printer_.pPrinterName = name_;
    EXPECT_TRUE(AddPrinterNumbered(&printer_, name_, false, resultText)) << resultText;
    EXPECT_STREQ(name_, "P(98)");

    takeNextCalls(99);
    std::snprintf(name_, sizeof name_, "Q");
    printer_.pPrinterName = name_;
    EXPECT_FALSE(AddPrinterNumbered(&printer_, name_, false, resultText));
    EXPECT_EQ(resultText, "<IDS_ERR_TOOMANY>");
    EXPECT_STREQ(name_, "");
    EXPECT_TRUE(AddPrinterNamed("Q")) << "exactly 99 attempts were made";
}

// A refusal other than a taken name stops the numbering with its text.
TEST_F(SpoolerObjects, OtherRefusalDuringNumbering) {
    Prepare("xp", 3);
    ASSERT_TRUE(AddPrinterNamed("TP-100(P)"));
    machine_->machine().failCall("spooler.addPrinter", 2, ERROR_INVALID_PRINTER_NAME);
    printer_.pPrinterName = name_;
    EXPECT_FALSE(AddPrinterNumbered(&printer_, name_, false, resultText));
    std::string description;
    ASSERT_TRUE(SystemErrorText(ERROR_INVALID_PRINTER_NAME, &description));
    EXPECT_EQ(resultText, "<IDS_ERR_ADDPRINTER>\n" + description);
    EXPECT_STREQ(name_, "");
}

// A refused driver: the text, a line break and the system's description.
TEST_F(SpoolerObjects, RefusedDriver) {
    EngineMachine m("xp", medium_);
    InstallSelection s;
    FillSelection(s, 3, "LPT1:");
    EXPECT_FALSE(AddDriver(s.driverInfo, resultText));   // its files are not in place
    std::string description;
    ASSERT_TRUE(SystemErrorText(ERROR_FILE_NOT_FOUND, &description));
    EXPECT_EQ(resultText, "<IDS_ERR_ADDPRNDRV3>\n" + description);
}

TEST_F(SpoolerObjects, PortListProbe) {
    EngineMachine m("win7", medium_);
    EXPECT_TRUE(ProbePortList(resultText));
    EXPECT_EQ(resultText, "");
    m.machine().failCall("spooler.enumPorts1", 2, RPC_S_SERVER_UNAVAILABLE);
    EXPECT_FALSE(ProbePortList(resultText));
    std::string description;
    ASSERT_TRUE(SystemErrorText(RPC_S_SERVER_UNAVAILABLE, &description));
    EXPECT_EQ(resultText, "<IDS_ERR_ALLOCMEMORY>\n" + description);
}

// Each Windows family keeps the default printer its own way; the new
// printer ends up as the default on every one.
TEST_F(SpoolerObjects, DefaultPrinterOnEveryFamily) {
    struct Case {
        const char* os;
        int osClass;
        const char* broadcastSection;
    };
    for (const Case& c : {Case{"98", 0, "\"windows\""}, Case{"nt4", 1, "(no section)"},
                          Case{"2003", 4, "(no section)"}, Case{"win7", 7, "(no section)"}}) {
        SCOPED_TRACE(c.os);
        Prepare(c.os, c.osClass);
        ASSERT_TRUE(AddPrinterNamed("Other"));
        ASSERT_TRUE(AddPrinterNamed("TP-100(P)"));
        ASSERT_TRUE(MakeDefaultPrinter("Other"));
        const std::size_t logBefore = machine_->machine().log().size();
        EXPECT_TRUE(MakeDefaultPrinter("TP-100(P)"));
        EXPECT_EQ(Default(), std::string("TP-100(P),") + kDriverName + ",LPT1:") << machine_->machine().show();
        const std::string log = machine_->machine().log().substr(logBefore);
        EXPECT_NE(log.find("WM_WININICHANGE"), std::string::npos) << log;
        EXPECT_FALSE(MakeDefaultPrinter("No Such Printer"));
        EXPECT_EQ(Default().substr(0, 10), "TP-100(P),");
    }
}

// Without SetDefaultPrinterA the default printer stays as it was, silently.
TEST_F(SpoolerObjects, MissingSetDefaultPrinterExport) {
    Prepare("xp", 3);
    ASSERT_TRUE(AddPrinterNamed("Other"));
    ASSERT_TRUE(AddPrinterNamed("TP-100(P)"));
    ASSERT_TRUE(MakeDefaultPrinter("Other"));
    machine_->machine().failAlways("spooler.setDefaultPrinter", ERROR_PROC_NOT_FOUND);
    EXPECT_FALSE(MakeDefaultPrinter("TP-100(P)"));
    EXPECT_EQ(Default().substr(0, 6), "Other,");
    EXPECT_EQ(resultText, "");
}

}  // namespace
}  // namespace setup::test

#include "platform/sim/show.h"

#include <gtest/gtest.h>

#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    std::size_t a = text.find(from);
    if (a == std::string::npos) return "(no " + from + ")";
    std::size_t b = text.find(to, a);
    return text.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

TEST(Show, ListsPrintersDriversAndJobs) {
    TestMachine m;
    Platform& p = m.platform();
    const std::string dir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\";
    for (const char* f : {"KSDRV.DLL", "KS.GPD", "KSUI.DLL", "KS.DAT"}) p.files().writeFile(dir + f, "x");
    std::string name = "KS Receipt", driver = "KSDRV.DLL", data = "KS.GPD", config = "KSUI.DLL",
                deps = std::string("KS.DAT\0", 8), port = "LPT1:", proc = "WinPrint", type = "RAW";
    DRIVER_INFO_3 d{3, name.data(), nullptr, driver.data(), data.data(), config.data(), nullptr,
                    deps.data(), nullptr, nullptr};
    ASSERT_EQ(p.spooler().addPrinterDriver(nullptr, 3, d), 0u) << m.show();
    PRINTER_INFO_2 info{};
    info.pPrinterName = name.data();
    info.pPortName = port.data();
    info.pDriverName = name.data();
    info.pPrintProcessor = proc.data();
    info.pDatatype = type.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    Handle h = 0;
    ASSERT_EQ(p.spooler().addPrinter(nullptr, 2, info, &h), 0u) << m.show();
    p.spooler().closePrinter(h);
    ASSERT_EQ(m.queueJobs("KS Receipt", 2), 0u);
    EXPECT_EQ(m.queueJobs("Nobody", 1), ERROR_INVALID_PRINTER_NAME);
    ASSERT_EQ(p.spooler().setDefaultPrinter("KS Receipt"), 0u);

    std::string shown = m.show();
    EXPECT_EQ(Between(shown, "Printers:", "Drivers:"),
              "Printers:\n"
              "  KS Receipt\n"
              "    Driver: KS Receipt\n"
              "    Port: LPT1:\n"
              "    Print processor: WinPrint\n"
              "    Attributes: 0x00000044\n"   // LOCAL, and DEFAULT since it is the default
              "    Jobs: 2\n"
              "Default printer: KS Receipt\n");
    EXPECT_EQ(Between(shown, "Drivers:", "Monitors:"),
              "Drivers:\n"
              "  KS Receipt\n"
              "    Environment: Windows NT x86\n"
              "    Version: Version-3\n"
              "    Driver: KSDRV.DLL\n"
              "    Data File: KS.GPD\n"
              "    Configuration File: KSUI.DLL\n"
              "    Dependent Files: KS.DAT\n")
        << shown;
    EXPECT_NE(shown.find("Queued 2 print job(s) on \"KS Receipt\""), std::string::npos);
}

}  // namespace
}  // namespace plat::sim

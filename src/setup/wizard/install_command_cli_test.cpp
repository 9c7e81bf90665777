// The built drivanto program installs printers on machines made with the
// winsim tool, as a user does it through the wizard; `winsim show` then
// holds the printer.
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
};

Outcome Shell(const std::string& command) {
    Outcome run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) run.out.append(buffer.data(), n);
    int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const char kInstalled[] = "MESSAGE Drivanto | The printer driver has been installed.\n";
const char kUsbInstalled[] =
    "MESSAGE Drivanto | The printer driver has been installed.\\nDisconnect the USB cable and connect it again "
    "before printing.\n";

class InstallCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::path here = fs::read_symlink("/proc/self/exe").parent_path();
        drivanto_ = here / "drivanto";
        winsim_ = here / ".." / ".." / "tools" / "winsim" / "winsim";
        if (!fs::exists(drivanto_) || !fs::exists(winsim_)) {
            GTEST_SKIP() << "build the targets drivanto and winsim to run this test";
        }
        const char* source = std::getenv("DRIVANTO_SOURCE_DIR");
        ASSERT_NE(source, nullptr) << "DRIVANTO_SOURCE_DIR is not set";
        demo_ = fs::path(source) / "media" / "demo";
        char pattern[] = "/tmp/drivanto-install-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        if (!dir_.empty()) fs::remove_all(dir_);
    }

    fs::path NewMachine(const std::string& os, const std::string& options = "") {
        fs::path machine = dir_ / os;
        Outcome made = Shell(Quote(winsim_) + " new " + Quote(machine) + " --os " + os + " " + options + " 2>&1");
        EXPECT_EQ(made.status, 0) << made.out;
        return machine;
    }
    Outcome Install(const fs::path& machine, const std::string& script) {
        fs::path file = dir_ / "script.txt";
        std::ofstream(file, std::ios::binary) << script;
        return Shell(Quote(drivanto_) + " --machine " + Quote(machine) + " --medium " + Quote(demo_) + " --script " +
                     Quote(file) + " 2>&1");
    }
    std::string Show(const fs::path& machine) { return Shell(Quote(winsim_) + " show " + Quote(machine)).out; }

    fs::path drivanto_, winsim_, demo_, dir_;
};

// Accept the agreement, keep the first receipt printer, typical mode, the
// detected Windows; on the port page the script goes on.
const char kToPortPage[] = "click 1057\nkey ENTER\nkey ENTER\nkey ENTER\nkey ENTER\n";

TEST_F(InstallCliTest, ParallelPrinterOnEveryNtVersion) {
    for (const char* os : {"2000", "xp", "2003", "vista", "2008", "win7"}) {
        fs::path machine = NewMachine(os);
        Outcome run = Install(machine, std::string(kToPortPage) + "select 1049 LPT1:\nanswer ok\nkey ENTER\nwait\n");
        EXPECT_EQ(run.status, 0) << os << "\n" << run.out;
        EXPECT_EQ(run.out, kInstalled) << os;
        std::string show = Show(machine);
        EXPECT_TRUE(Has(show, "Printers:\n  QPX-T510(P)\n")) << os << "\n" << show;
        EXPECT_TRUE(Has(show, "    Port: LPT1:\n")) << os;
    }
}

TEST_F(InstallCliTest, UsbPrinterWithItsNumberChanged) {
    // The printer reports release 0x0102 (port 3); the driver is not installed yet.
    fs::path machine = NewMachine("xp", "--usb-printer 258");
    Outcome run = Install(machine, std::string(kToPortPage) + "dump\nanswer yes\nanswer ok\nkey ENTER\nwait\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(Has(run.out, "sel=11")) << run.out;   // USB_QPX-T510_1 preselected
    EXPECT_TRUE(Has(run.out, "MESSAGE Drivanto | The USB number of the connected printer differs")) << run.out;
    EXPECT_TRUE(Has(run.out, kUsbInstalled)) << run.out;
    std::string show = Show(machine);
    EXPECT_TRUE(Has(show, "USB printers: Printer1=256")) << show;
    EXPECT_TRUE(Has(show, "  QPX-T510(U) 1\n    Driver: QPX-T510 USB\n    Port: USB_QPX-T510_1\n")) << show;
    EXPECT_TRUE(Has(show, "C:\\WINDOWS\\system32\\drivers\\bulkusb.sys")) << show;
    EXPECT_TRUE(Has(show, "  Kestran USB Port (KSUSBMON.DLL)")) << show;
}

TEST_F(InstallCliTest, SerialPrinterDefaultWithItsSettings) {
    fs::path machine = NewMachine("win7");
    Outcome run = Install(machine,
                          "click 1057\nkey ENTER\nselect 1030 QPX-N520\nclick 1046\nkey ENTER\nkey ENTER\nkey ENTER\n"
                          "select 1049 KSCOM1:\nselect 1041 38400\nselect 1043 Odd\nanswer ok\nkey ENTER\nwait\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, kInstalled);
    std::string show = Show(machine);
    EXPECT_TRUE(Has(show, "  QPX-N520(S)\n")) << show;
    EXPECT_TRUE(Has(show, "    Port: KSCOM1:\n")) << show;
    EXPECT_TRUE(Has(show, "Default printer: QPX-N520(S)\n")) << show;
    EXPECT_TRUE(Has(show, "\"COM1:\"=\"38400,o,8,1,p\"")) << show;
}

}  // namespace

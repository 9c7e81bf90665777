#include "common/language_text.h"

#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "common/sim_sys_for_tests.h"

namespace common {
namespace {

using plat::sim::TempMedium;

// Each test chooses its program; the default of the process is the setup.
class LanguageTextTest : public ::testing::Test {
protected:
    ~LanguageTextTest() override { LanguageText::SetProgram(TextProgram::Setup); }

    // A medium whose language files hold [T] V=<value>.
    void WriteValue(const std::string& value) {
        medium_.write("language/setup.ini", "[T]\r\nV=" + value + "\r\n");
        medium_.write("language/uninstall.ini", "[T]\r\nV=" + value + "\r\n");
    }
    std::string Lookup(TextProgram program) {
        LanguageText::SetProgram(program);
        SimSys sys(SimSys::WithMedium(medium_.dir()));
        return LanguageText("T").GetText("V");
    }

    TempMedium medium_;
};

TEST_F(LanguageTextTest, LineBreakMarkersPerProgram) {
    struct Case {
        TextProgram program;
        const char* value;
        const char* text;
    } cases[] = {
        // Setup: \1 \2 \3, the first occurrence of each, in any order.
        {TextProgram::Setup, "A\\1B\\1C", "A\r\nB\\1C"},
        {TextProgram::Setup, "X\\3Y\\2Z\\1", "X\r\nY\r\nZ\r\n"},
        {TextProgram::Setup, "\\1\\1\\1", "\r\n\\1\\1"},
        {TextProgram::Setup, "A\\nB", "A\\nB"},
        {TextProgram::Setup, "A\\4B\\", "A\\4B\\"},
        {TextProgram::Setup, "plain", "plain"},
        // Uninstaller: only \n, first occurrence.
        {TextProgram::Uninstall, "A\\1B", "A\\1B"},
        {TextProgram::Uninstall, "A\\nB\\nC", "A\r\nB\\nC"},
        {TextProgram::Uninstall, "\\n", "\r\n"},
    };
    for (const Case& c : cases) {
        WriteValue(c.value);
        EXPECT_EQ(Lookup(c.program), c.text) << c.value;
    }
}

TEST_F(LanguageTextTest, LongValuesAreCutToTheProgramsBuffer) {
    std::string value(3000, 'a');
    value[2046] = 'S';   // the last byte the setup keeps
    value[1022] = 'U';   // the last byte the uninstaller keeps
    WriteValue(value);
    EXPECT_EQ(Lookup(TextProgram::Setup), value.substr(0, 2047));
    EXPECT_EQ(Lookup(TextProgram::Uninstall), value.substr(0, 1023));
}

TEST_F(LanguageTextTest, MissingFileSectionOrKeyGivesEmptyText) {
    WriteValue("present");
    SimSys sys(SimSys::WithMedium(medium_.dir()));
    EXPECT_EQ(LanguageText("T").GetText("V"), "present");
    EXPECT_EQ(LanguageText("T").GetText("Missing"), "");
    EXPECT_EQ(LanguageText("Nowhere").GetText("V"), "");
    EXPECT_EQ(LanguageText("T").GetText(nullptr), "");
    medium_.remove("language/setup.ini");
    EXPECT_EQ(LanguageText("T").GetText("V"), "");
}

TEST_F(LanguageTextTest, FileUnderTheCurrentDirectory) {
    SimSys sys;
    EXPECT_EQ(LanguageText("Setup").FilePath(), "D:\\language\\setup.ini");
    LanguageText::SetProgram(TextProgram::Uninstall);
    EXPECT_EQ(LanguageText("Uninstall").FilePath(), "D:\\language\\uninstall.ini");
}

// A current directory that does not fit the 260-character path leaves the
// reader without a file: every text is empty, nothing overflows.
TEST_F(LanguageTextTest, CurrentDirectoryTooLongReadsAsMissingFile) {
    WriteValue("present");
    SimSys sys(SimSys::WithMedium(medium_.dir()));
    sys.machine().failCall("files.getCurrentDirectory", 1, ERROR_INSUFFICIENT_BUFFER);
    LanguageText reader("T");
    EXPECT_EQ(reader.FilePath(), "");
    EXPECT_EQ(reader.GetText("V"), "");
    EXPECT_EQ(LanguageText("T").GetText("V"), "present");
}

TEST_F(LanguageTextTest, SetupSectionNameOf255Characters) {
    std::string section(255, 's');
    medium_.write("language/setup.ini", "[" + section + "]\r\nK=long section\r\n");
    SimSys sys(SimSys::WithMedium(medium_.dir()));
    EXPECT_EQ(LanguageText(section.c_str()).GetText("K"), "long section");
}

// Each lookup owns its text: an earlier text survives later lookups, the end
// of another reader, and lookups on another thread.
TEST_F(LanguageTextTest, TextsStayValidWhileTheirCallerUsesThem) {
    medium_.write("language/uninstall.ini", "[T]\r\nA=first\r\nB=second\r\n");
    LanguageText::SetProgram(TextProgram::Uninstall);
    SimSys sys(SimSys::WithMedium(medium_.dir()));
    LanguageText reader("T");
    std::string first = reader.GetText("A");
    { LanguageText("T").GetText("B"); }
    std::string second = reader.GetText("B");
    EXPECT_EQ(first, "first");
    EXPECT_EQ(second, "second");

    std::vector<std::string> seenByWorker;
    std::thread worker([&] {
        LanguageText workerReader("T");
        for (int i = 0; i < 50; ++i) seenByWorker.push_back(workerReader.GetText("B"));
    });
    std::vector<std::string> seenHere;
    for (int i = 0; i < 50; ++i) seenHere.push_back(reader.GetText("A"));
    worker.join();
    for (const std::string& text : seenHere) EXPECT_EQ(text, "first");
    for (const std::string& text : seenByWorker) EXPECT_EQ(text, "second");
}

// The shipped texts: every key both programs read has a text in the English
// and in the Chinese set, and the Chinese texts come back as GBK bytes.
struct KeyList {
    TextProgram program;
    const char* section;
    std::vector<const char*> keys;
};

const std::vector<KeyList>& ShippedKeys() {
    static const std::vector<KeyList> keys = {
        {TextProgram::Setup, "Setup",
         {"Caption", "Help", "Back", "Next", "Install", "Cancel", "Close", "Nonsupport",
          "PortNull", "CaptionName"}},
        {TextProgram::Setup, "About", {"Caption", "Version", "Copyright", "OK"}},
        {TextProgram::Setup, "Help Guide", {"Caption", "Name"}},
        {TextProgram::Setup, "Legal", {"Agreement", "Accept", "Reject"}},
        {TextProgram::Setup, "Series",
         {"Select", "Receipt", "Ticket", "Label", "Embedded", "Default"}},
        {TextProgram::Setup, "Mode",
         {"Type", "Typical", "Advanced", "Remarks", "Note1", "Note2", "Note3"}},
        {TextProgram::Setup, "System", {"Select"}},
        {TextProgram::Setup, "Confirm",
         {"Set", "Ports", "Com", "BaudRate", "Parity", "ByteSize", "StopBits", "Protocol",
          "Raster", "Parity.Even", "Parity.Mark", "Parity.None", "Parity.Odd", "Parity.Space",
          "Protocol.None", "Protocol.Xonoff", "Protocol.Hardware"}},
        {TextProgram::Setup, "Progress", {"Wait"}},
        {TextProgram::Setup, "Message",
         {"IDS_ABOUTBOX", "IDS_X64", "IDS_ADMIN", "IDS_ERR_NOLEFT", "IDS_TYPICAL_NOTES",
          "IDS_NOTSUPPORTNT", "IDS_NOTSUPPORT2003", "IDS_NOTSUPPORTVISTA", "IDS_NOTSUPPORT2008",
          "IDS_NOTSUPPORTWin7", "IDS_ERR_NOLICENSE", "IDS_ERR_SELPRINTER",
          "IDS_ERR_NOSUPPORTINTERFACE", "IDS_ERR_NOUSBDEVICE", "IDS_INF_CHANGEID",
          "IDS_ERR_NOSUPPORTUSB", "IDS_INF_NTRESTART", "IDS_INF_RESTART", "IDS_ERR_EXITWIN",
          "IDS_INF_USBRESTART", "IDS_ERR_NEEDRESTART", "IDS_ERR_LOSTDRIVERFILE",
          "IDS_ERR_GETCURDIR", "IDS_ERR_GETPRODIR", "IDS_ERR_COPYFIEL", "IDS_ERR_COPYFIEL1",
          "IDS_ERR_DIRTYPE", "IDS_ERR_GETDRIVERDIR", "IDS_ERR_GETSYSDIR", "IDS_ERR_GETWINDIR",
          "IDS_ERR_ADDPRINTER", "IDS_ERR_TOOMANY", "IDS_ERR_ADDPRNDRV3", "IDS_ERR_ALLOCMEMORY",
          "IDS_ERR_ADDMONITOR", "IDS_ERR_ADDPROCESSOR", "IDS_ERR_UPDATEUSB",
          "IDS_ERR_ONEPRINTER", "IDS_ERR_SYSTEM"}},
        {TextProgram::Uninstall, "Uninstall",
         {"Title", "Note", "Uninstall", "Select", "Exit", "USBuninstall", "Close",
          "CaptionName"}},
        {TextProgram::Uninstall, "About", {"Title", "Version", "Copyright", "OK"}},
        {TextProgram::Uninstall, "Reboot", {"Title", "Note1", "Note2", "Note3", "Yes", "No"}},
        {TextProgram::Uninstall, "Message",
         {"IDS_ABOUTBOX", "IDS_X64", "IDS_ADMIN", "IDS_ERR_GETSYSDIR", "IDS_ERR_INVALID",
          "IDS_ERR_NOINI", "IDS_SELECTPRN1", "IDS_DELETING1", "IDS_DELETING2", "IDS_DELETING3",
          "IDS_USING", "IDS_SUCCESS", "IDS_ERR_UNINSTALL", "IDS_ERR_DELPRINTER",
          "IDS_DRVDELETING", "IDS_ERR_DRVUSING", "IDS_ERR_DRVDEL", "IDS_DRV_SUCCESS",
          "IDS_DRV_SUCCESS1", "IDS_ERR_OPENPRN", "IDS_ERR_ALLOC", "IDS_ERR_GETPRNINFO",
          "IDS_ERR_HAVEJOB1", "IDS_ERR_HAVEJOB2"}},
    };
    return keys;
}

std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The Chinese set laid over a copy of the demo medium.
void LayChineseSet(TempMedium& medium) {
    const char* source = std::getenv("DRIVANTO_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "DRIVANTO_SOURCE_DIR is not set";
    for (const char* file : {"language/setup.ini", "language/uninstall.ini", "License.txt",
                             "DRVCONFIG/setup.ini"}) {
        std::string bytes = ReadHostFile(std::string(source) + "/media/demo-zh/" + file);
        ASSERT_FALSE(bytes.empty()) << file;
        medium.write(file, bytes);
    }
}

TEST_F(LanguageTextTest, ShippedSetsHaveEveryKey) {
    TempMedium chinese;
    LayChineseSet(chinese);
    for (const std::string& dir : {std::string(), chinese.dir()}) {
        for (const KeyList& list : ShippedKeys()) {
            LanguageText::SetProgram(list.program);
            SimSys sys(SimSys::WithMedium(dir));
            LanguageText reader(list.section);
            for (const char* key : list.keys) {
                EXPECT_NE(reader.GetText(key), "")
                    << (dir.empty() ? "demo" : "demo-zh") << " [" << list.section << "] " << key;
            }
        }
    }
}

TEST_F(LanguageTextTest, ChineseTextsComeBackAsGbkBytes) {
    TempMedium chinese;
    LayChineseSet(chinese);
    SimSys sys(SimSys::WithMedium(chinese.dir()));
    // "请先选择打印机型号。"
    EXPECT_EQ(messageText().GetText("IDS_ERR_SELPRINTER"),
              "\xC7\xEB\xCF\xC8\xD1\xA1\xD4\xF1\xB4\xF2\xD3\xA1\xBB\xFA\xD0\xCD\xBA\xC5\xA1\xA3");
    // The markers are replaced in GBK text as well.
    std::string note = LanguageText("Mode").GetText("Note1");
    EXPECT_NE(note.find("\r\n"), std::string::npos);
    EXPECT_EQ(note.find("\\1"), std::string::npos);
    LanguageText::SetProgram(TextProgram::Uninstall);
    // "打印机卸载程序", the title the setup looks for.
    EXPECT_EQ(LanguageText("Uninstall").GetText("Title"),
              "\xB4\xF2\xD3\xA1\xBB\xFA\xD0\xB6\xD4\xD8\xB3\xCC\xD0\xF2");
}

TEST_F(LanguageTextTest, MessageTextReadsSectionMessageOfEachProgram) {
    SimSys sys;
    EXPECT_EQ(messageText().GetText("IDS_ERR_SELPRINTER"), "Please select a printer model first.");
    LanguageText::SetProgram(TextProgram::Uninstall);
    EXPECT_EQ(messageText().GetText("IDS_ERR_NOINI"),
              "The uninstall list Uninstall.ini was not found.");
}

}  // namespace
}  // namespace common

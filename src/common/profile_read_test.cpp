#include "common/profile_read.h"

#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "common/sim_sys_for_tests.h"

namespace common {
namespace {

TEST(TextToIntTest, ReadsLikeAtoi) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"", 0},           {"0", 0},        {"42", 42},      {"  42", 42},
        {"\t 9", 9},       {"-7", -7},      {"+5", 5},       {"12abc", 12},
        {"abc", 0},        {"0x40", 0},     {"- 3", 0},      {"3 4", 3},
        {"2147483647", INT_MAX},            {"99999999999", INT_MAX},
        {"-2147483648", INT_MIN},           {"-99999999999", INT_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(TextToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(CopyTextTest, CutsToTheFieldAndTerminates) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    CopyText(field, sizeof field, "abcdefgh");
    EXPECT_STREQ(field, "abcde");
    CopyText(field, sizeof field, "ab");
    EXPECT_STREQ(field, "ab");
}

TEST(ReadProfileTextTest, NamelessFileOrSectionReadsTheDefaultCut) {
    SimSys sys;
    EXPECT_EQ(ReadProfileText("DEVICENAME", "DEVICENUMBER", "default", 4, ""), "def");
    EXPECT_EQ(ReadProfileText("", "DEVICENUMBER", "0", 200, "DRVCONFIG\\setup.ini"), "0");
    EXPECT_EQ(ReadProfileText("DEVICENAME", nullptr, "0", 200, "DRVCONFIG\\setup.ini"), "0");
    // The demo medium's model count, through the machine's profile reader.
    EXPECT_EQ(ReadProfileText("DEVICENAME", "DEVICENUMBER", "0", 200, "DRVCONFIG\\setup.ini"), "8");
}

}  // namespace
}  // namespace common

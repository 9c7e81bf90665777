// Stopping, starting and waiting for the Spooler service, in virtual time.
#include "setup/engine/spooler_service.h"

#include <gtest/gtest.h>

#include "setup/engine/engine_test_fixture.h"

namespace setup::test {
namespace {

class SpoolerService : public ::testing::Test {
protected:
    SpoolerService() : m("xp", medium) {}
    std::string State() { return m.state().get("Spooler", "State", "running"); }
    std::uint64_t SleptSince(std::uint64_t before) { return m.machine().sleptMs() - before; }

    EngineMedium medium;
    EngineMachine m;
};

// Stopping a stopped spooler reports nothing and still sleeps 100 ms.
TEST_F(SpoolerService, StopSleeps100EvenWhenStopped) {
    for (int round = 0; round < 2; ++round) {
        std::uint64_t before = m.machine().sleptMs();
        StopSpooler();
        EXPECT_EQ(SleptSince(before), 100u);
        EXPECT_EQ(State(), "stopped");
    }
}

// Starting a running spooler leaves the text alone; a refusal writes it.
TEST_F(SpoolerService, StartTexts) {
    resultText = "kept";
    StartSpooler(resultText);
    EXPECT_EQ(resultText, "kept");
    StopSpooler();
    m.machine().failCall("services.startService", 1, ERROR_SERVICE_DISABLED);
    StartSpooler(resultText);
    EXPECT_EQ(resultText, "Start spool service error, error code = 1058");
    EXPECT_EQ(State(), "stopped");
    resultText.clear();
    StartSpooler(resultText);
    EXPECT_EQ(resultText, "");
    EXPECT_EQ(State(), "running");
}

// How long the wait takes and what it returns, by the answers it gets.
TEST_F(SpoolerService, WaitForRunning) {
    struct Case {
        const char* pendingQueries;   // status queries still answering start-pending
        std::uint32_t state;
        std::uint64_t sleptMs;
        const char* text;
    };
    for (const Case& c : {Case{"0", 4, 0, ""}, Case{"2", 4, 600, ""},
                          Case{"20", 2, 3000, "StartSpoolService error"}}) {
        SCOPED_TRACE(c.pendingQueries);
        StopSpooler();
        m.state().set("Spooler", "StartPendingQueries", c.pendingQueries);
        resultText.clear();
        StartSpooler(resultText);
        std::uint64_t before = m.machine().sleptMs();
        EXPECT_EQ(WaitSpoolerRunning(resultText), c.state);
        EXPECT_EQ(SleptSince(before), c.sleptMs);
        EXPECT_EQ(resultText, c.text);
    }
}

// A service that cannot be opened for status queries gives 1 at once.
TEST_F(SpoolerService, UnreachableServiceIsStopped) {
    m.machine().failCall("services.openService", 1, ERROR_ACCESS_DENIED);
    std::uint64_t before = m.machine().sleptMs();
    EXPECT_EQ(WaitSpoolerRunning(resultText), 1u);
    EXPECT_EQ(SleptSince(before), 0u);
    EXPECT_EQ(resultText, "StartSpoolService error");
}

}  // namespace
}  // namespace setup::test

#include "setup/pages/progress_dlg.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/language_text.h"
#include "common/sim_sys_for_tests.h"
#include "setup/engine/run_installation.h"
#include "ui/test_support.h"

namespace setup {
namespace {

struct Sample {
    std::uint64_t at;   // virtual ms since the dialog started
    int pos;
};

// The dialog with a stand-in for the worker: its status is stored once the
// virtual clock reaches `finishAt`. Every timer event records the bar.
class Recorded : public ProgressDlg {
public:
    Recorded(ui::test::VirtualClock& clock, std::uint64_t finishAt, std::int32_t result)
        : clock_(clock), finishAt_(finishAt), result_(result) {}
    std::vector<Sample> samples;
    std::uint64_t start = 0;

protected:
    bool OnInitDialog() override {
        start = clock_.now;
        if (finishAt_ == 0) installStatus.store(result_, std::memory_order_release);
        return ProgressDlg::OnInitDialog();
    }
    void OnTimer(int id) override {
        if (clock_.now - start >= finishAt_) installStatus.store(result_, std::memory_order_release);
        ProgressDlg::OnTimer(id);
        samples.push_back({clock_.now - start, Bar(1079).GetPos()});
    }

private:
    ui::test::VirtualClock& clock_;
    std::uint64_t finishAt_;
    std::int32_t result_;
};

struct Outcome {
    std::vector<Sample> samples;
    int result;
    std::int32_t status;
};

Outcome RunDialog(int osClass, std::uint64_t finishAt, std::int32_t result) {
    ui::test::VirtualClock clock;
    ui::Hooks hooks;
    hooks.clock = &clock;
    ui::test::ScriptRun run("wait\n", hooks);
    Recorded dlg(clock, finishAt, result);
    dlg.osClass = osClass;
    int r = dlg.DoModal();
    EXPECT_EQ(run.finish(), "");
    return {dlg.samples, r, dlg.installStatus.load()};
}

// The last sample whose time is at most `t`.
int PosAt(const std::vector<Sample>& s, std::uint64_t t) {
    int pos = -1;
    for (const Sample& x : s)
        if (x.at <= t) pos = x.pos;
    return pos;
}

std::uint64_t EndOf(const std::vector<Sample>& s) { return s.empty() ? 0 : s.back().at; }

TEST(ProgressDlg, SuccessAfterThreeSecondsRunsToTheEnd) {
    Outcome o = RunDialog(3, 3000, kInstallSucceeded);
    EXPECT_EQ(o.result, IDOK);
    EXPECT_EQ(PosAt(o.samples, 100), 0);       // the first step at the timer's 100 ms
    EXPECT_EQ(PosAt(o.samples, 180), 1);       // then one step every 80 ms
    EXPECT_EQ(PosAt(o.samples, 2999), 36);
    EXPECT_EQ(PosAt(o.samples, 3060), 36);     // the worker's end is seen here, with n at 37
    // From there 37, 38, ..., 99 in 10 ms steps, then 100 ms until the end.
    EXPECT_EQ(PosAt(o.samples, 3060 + 10), 37);
    EXPECT_EQ(PosAt(o.samples, 3060 + 20), 38);
    EXPECT_EQ(PosAt(o.samples, 3060 + 630), 99);
    EXPECT_EQ(EndOf(o.samples), 3060u + 630 + 100);
}

TEST(ProgressDlg, FailureAfterTwentySecondsRunsBackToZero) {
    Outcome o = RunDialog(3, 20000, kInstallFailed);
    EXPECT_EQ(PosAt(o.samples, 7300), 90);
    EXPECT_EQ(PosAt(o.samples, 19990), 90);    // held while the worker runs
    // The end is seen at 20020 (n is 91 by then): 91, 90, ..., 1 in 10 ms steps, then 0.
    std::uint64_t seen = 20020;
    EXPECT_EQ(PosAt(o.samples, seen + 10), 91);
    EXPECT_EQ(PosAt(o.samples, seen + 900), 2);
    EXPECT_EQ(PosAt(o.samples, seen + 910), 0);
    EXPECT_EQ(EndOf(o.samples), seen + 910 + 100);
    EXPECT_EQ(o.status, kInstallFailed);
}

TEST(ProgressDlg, Windows98DoesNotWaitAtNinety) {
    Outcome o = RunDialog(0, 20000, kInstallSucceeded);
    EXPECT_EQ(o.result, IDOK);
    EXPECT_EQ(PosAt(o.samples, 100 + 89 * 80), 89);
    EXPECT_EQ(EndOf(o.samples), 100u + 90 * 80);   // about 7.2 s
    EXPECT_EQ(o.status, kInstallRunning);
}

TEST(ProgressDlg, WorkerDoneBeforeTheFirstTimerEvent) {
    Outcome ok = RunDialog(3, 0, kInstallSucceeded);
    EXPECT_EQ(PosAt(ok.samples, 110), 0);
    EXPECT_EQ(PosAt(ok.samples, 100 + 1000), 99);
    EXPECT_EQ(EndOf(ok.samples), 100u + 1000 + 100);

    Outcome failed = RunDialog(3, 0, kInstallFailed);
    ASSERT_FALSE(failed.samples.empty());
    EXPECT_EQ(failed.samples.front().pos, 0);
    EXPECT_EQ(EndOf(failed.samples), 100u + 100);
}

TEST(ProgressDlg, EscapeDoesNotEndIt) {
    ui::test::VirtualClock clock;
    ui::Hooks hooks;
    hooks.clock = &clock;
    ui::test::ScriptRun run("key ESCAPE\nkey ENTER\nwait\n", hooks);
    Recorded dlg(clock, 500, kInstallSucceeded);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(run.finish(), "");
    EXPECT_EQ(PosAt(dlg.samples, 100000), 99);
}

TEST(ProgressDlg, PaintsTheWaitText) {
    common::SimSys sys;
    common::LanguageText::SetProgram(common::TextProgram::Setup);
    ui::test::ScriptRun run("dump\nwait\n");
    ProgressDlg dlg;
    dlg.installStatus = kInstallSucceeded;
    dlg.DoModal();
    EXPECT_EQ(run.finish(), "");
    EXPECT_NE(run.out().find("paint text \"Installing the printer driver, please wait...\""), std::string::npos)
        << run.out();
    EXPECT_NE(run.out().find("1079 progress \"\" enabled shown range=0..100"), std::string::npos) << run.out();
}

}  // namespace
}  // namespace setup

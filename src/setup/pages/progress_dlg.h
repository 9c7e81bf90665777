// The small modal dialog shown while the installation worker runs: a bar that
// climbs on a fixed schedule to 90, holds there until the worker reports its
// end through installStatus, then runs to the end (success) or back to zero
// (failure) and closes itself.
#pragma once

#include <atomic>
#include <cstdint>

#include "ui/dialog.h"

namespace setup {

class ProgressDlg : public ui::Dialog {
public:
    ProgressDlg();

    int osClass = 0;                            // set by the Install command
    std::atomic<std::int32_t> installStatus{0};  // 0 running, 1 failed, 2 succeeded (the worker's last write)
    int chineseFont = 0;

    // The schedule's timings (ms).
    static constexpr unsigned kStartPeriod = 100;  // until the first step
    static constexpr unsigned kClimbStep = 80;     // one step of the climb to 90
    static constexpr unsigned kFinishStep = 10;    // one step of the run to the end or to zero
    static constexpr unsigned kLastPause = 100;    // before the dialog ends
    static constexpr int kHoldAt = 90;

protected:
    bool OnInitDialog() override;
    void OnTimer(int timerId) override;
    void OnPaint(ui::Painter& painter) override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override {}       // only the schedule ends the dialog
    void OnCancel() override {}

private:
    enum class Phase { Climbing, Rising, Falling, Ending };
    void Step();
    void Next(unsigned ms);

    Phase phase_ = Phase::Climbing;
    int n_ = 0;
    ui::ProgressBar bar_;
};

}  // namespace setup

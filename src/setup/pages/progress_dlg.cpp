// The progress dialog's schedule runs on its one timer: each event does one
// step and sets the delay to the next, so the dialog never blocks the
// user-interface thread while it climbs, holds or finishes.
#include "setup/pages/progress_dlg.h"

#include "common/language_text.h"
#include "setup/wizard/setup_wizard_dlg.h"
#include "setup/engine/run_installation.h"

namespace setup {
namespace {

constexpr int kBarId = 1079;
constexpr int kTimerId = 1;
constexpr int kEnd = 99;

const ui::DialogTemplate kProgressTemplate = {
    141, 220, 46, "", ui::kModalFrame | ui::kCentered, "System", 10,
    {
        {kBarId, ui::Kind::Progress, 7, 28, 206, 12, "", ui::kBorder},
    },
};

}  // namespace

ProgressDlg::ProgressDlg() : Dialog(kProgressTemplate) {}

void ProgressDlg::DoDataExchange(ui::DataExchange& dx) { dx.Control(kBarId, bar_); }

bool ProgressDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (chineseFont == 1) ApplySharedFont(*this);
    bar_.SetRange(0, 100);
    SetTimer(kTimerId, kStartPeriod);
    return true;
}

void ProgressDlg::Next(unsigned ms) { SetTimer(kTimerId, ms); }

void ProgressDlg::OnTimer(int timerId) {
    if (timerId == kTimerId) Step();
}

void ProgressDlg::Step() {
    switch (phase_) {
    case Phase::Climbing: {
        if (osClass == 0 && n_ == kHoldAt) {
            // Windows 98/Me: the bar does not wait at 90. The Install command
            // waits for the worker before it reads anything the worker writes.
            phase_ = Phase::Ending;
            Step();
            return;
        }
        std::int32_t status = installStatus.load(std::memory_order_acquire);
        if (status == kInstallFailed) {
            phase_ = Phase::Falling;
            if (n_ < 1) {
                bar_.SetPos(0);
                phase_ = Phase::Ending;
                Next(kLastPause);
            } else {
                Next(kFinishStep);
            }
            return;
        }
        if (status == kInstallSucceeded) {
            phase_ = Phase::Rising;
            Next(kFinishStep);
            return;
        }
        if (n_ >= kHoldAt) n_ = kHoldAt;
        bar_.SetPos(n_);
        ++n_;
        Next(kClimbStep);
        return;
    }
    case Phase::Falling:   // n, n-1, ..., 1, then 0
        bar_.SetPos(n_);
        if (--n_ >= 1) {
            Next(kFinishStep);
        } else {
            bar_.SetPos(0);
            phase_ = Phase::Ending;
            Next(kLastPause);
        }
        return;
    case Phase::Rising:    // n, n+1, ..., 99
        bar_.SetPos(n_);
        if (++n_ <= kEnd) {
            Next(kFinishStep);
        } else {
            phase_ = Phase::Ending;
            Next(kLastPause);
        }
        return;
    case Phase::Ending:
        KillTimer(kTimerId);
        EndDialog(IDOK);
        return;
    }
}

void ProgressDlg::OnPaint(ui::Painter& painter) {
    ui::Rect r = painter.ClientRect();
    r.h = 2 * (r.y + r.h) / 3 - r.y;   // the upper two thirds
    ui::TextStyle style{ui::Font{"System", 20, 700}, ui::Rgb(0, 51, 153), true};
    common::LanguageText progress("Progress");
    painter.DrawText(r, progress.GetText("Wait"), style);
}

}  // namespace setup

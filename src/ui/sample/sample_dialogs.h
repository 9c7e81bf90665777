// A small dialog program with every kind of control the framework offers.
// Not shipped: the terminal and script tests drive it, and page writers can
// read it as an example.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "ui/dialog.h"

namespace sample {

extern const ui::DialogTemplate kMainTemplate;
extern const ui::DialogTemplate kPageTemplate;
extern const ui::DialogTemplate kAboutTemplate;
extern const ui::DialogTemplate kProgressTemplate;

// Control ids.
enum : int {
    IDC_FRUIT_LABEL = 1000, IDC_FRUIT = 1001, IDC_COLOUR = 1002, IDC_SIZE_GROUP = 1003,
    IDC_SMALL = 1004, IDC_MEDIUM = 1005, IDC_LARGE = 1006, IDC_WRAP = 1007, IDC_TEXT = 1008,
    IDC_ITEMS = 1009, IDC_LOG = 1010, IDC_BAR = 1011, IDC_PAGE_FRAME = 1012, IDC_ICON = 1013,
    IDC_RUN = 1020, IDC_ASK = 1021, IDC_PROGRESS = 1022,
    IDC_NOTE = 1101, IDC_EXPRESS = 1102, IDC_INSURED = 1103,
};
inline constexpr int kAboutCommand = 16;

// A label that keeps its own colours and can blink (a timer of its own).
class BlinkLabel : public ui::Control {
public:
    void Blink(bool on);
    void OnTimer(int timerId) override;
    int ticks = 0;

private:
    std::string saved_;
    bool phase_ = false;
    bool active_ = false;
};

class SamplePage : public ui::Dialog {
public:
    SamplePage() : Dialog(kPageTemplate) {}
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    int express = 0;
    BlinkLabel note;
};

class AboutDlg : public ui::Dialog {
public:
    AboutDlg() : Dialog(kAboutTemplate) {}
    bool OnInitDialog() override;
};

// Climbs on a timer while a shared status says "running", then ends itself.
class ProgressDlg : public ui::Dialog {
public:
    ProgressDlg() : Dialog(kProgressTemplate) {}
    bool OnInitDialog() override;
    void OnTimer(int timerId) override;
    void OnPaint(ui::Painter& p) override;
    std::atomic<int> status{0};  // 0 running, 1 failed, 2 done; written by the worker
    int finalPos = -1;           // the bar when the dialog ended
};

class MainDlg : public ui::Dialog {
public:
    MainDlg();
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnShowWindow(bool show) override;
    bool OnSysCommand(int command) override;
    bool OnHelp() override;
    void OnPaint(ui::Painter& p) override;

    void OnRun();
    void OnAsk();
    void OnProgress();
    void OnItemChecked();
    void OnSizeClicked();
    void Log(const std::string& line);

    // The values the data exchange fills at OK.
    std::string fruit;
    int size = 1;
    int wrap = 0;
    std::vector<std::string> checkedItems;

    SamplePage page;
    ui::ProgressBar bar;
    std::atomic<bool> workerDone{false};
};

// Writes what the user chose ("RESULT ...") for the tests.
std::string Summary(MainDlg& dlg, int result);

}  // namespace sample

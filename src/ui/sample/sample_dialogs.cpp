#include "ui/sample/sample_dialogs.h"

#include <chrono>
#include <thread>

#include "platform/win_types.h"
#include "ui/app.h"
#include "ui/message_box.h"

namespace sample {

using ui::Kind;

const ui::DialogTemplate kMainTemplate = {
    200, 297, 180, "Sample", ui::kCaption | ui::kSysMenu | ui::kMinimizeBox | ui::kCentered | ui::kAppWindow, "System", 10,
    {
        {IDC_FRUIT_LABEL, Kind::Static, 7, 7, 30, 8, "Fruit:", 0},
        {IDC_FRUIT, Kind::DropList, 40, 5, 80, 60, "", ui::kSorted | ui::kVScroll | ui::kTabStop},
        {ui::kNoId, Kind::Static, 130, 7, 28, 8, "Colour:", 0},
        {IDC_COLOUR, Kind::DropList, 160, 5, 60, 60, "", ui::kVScroll | ui::kTabStop},
        {IDC_ICON, Kind::Icon, 262, 4, 20, 20, "128", 0},
        {IDC_SIZE_GROUP, Kind::GroupBox, 7, 22, 110, 52, "Size", 0},
        {IDC_SMALL, Kind::AutoRadioButton, 15, 34, 60, 10, "Small", ui::kGroup | ui::kTabStop},
        {IDC_MEDIUM, Kind::AutoRadioButton, 15, 46, 60, 10, "Medium", 0},
        {IDC_LARGE, Kind::AutoRadioButton, 15, 58, 60, 10, "Large", 0},
        {IDC_WRAP, Kind::AutoCheckBox, 130, 22, 80, 10, "Gift wrap", ui::kTabStop | ui::kGroup},
        {IDC_PAGE_FRAME, Kind::EtchedFrame, 130, 34, 160, 40, "", ui::kHidden},
        {IDC_TEXT, Kind::Edit, 7, 78, 140, 40, "", ui::kMultiLine | ui::kReadOnly | ui::kVScroll | ui::kBorder},
        {IDC_ITEMS, Kind::ListView, 155, 78, 135, 40, "", ui::kBorder | ui::kTabStop},
        {IDC_LOG, Kind::ListBox, 7, 122, 140, 32, "", ui::kVScroll | ui::kBorder | ui::kNoIntegralHeight},
        {IDC_BAR, Kind::Progress, 155, 122, 135, 10, "", ui::kBorder},
        {ui::kNoId, Kind::EtchedLine, 7, 158, 283, 1, "", 0},
        {IDC_RUN, Kind::PushButton, 7, 162, 48, 14, "Run", ui::kTabStop},
        {IDC_ASK, Kind::PushButton, 60, 162, 48, 14, "Ask", ui::kTabStop},
        {IDC_PROGRESS, Kind::PushButton, 113, 162, 48, 14, "Progress", ui::kTabStop},
        {IDOK, Kind::DefPushButton, 185, 162, 48, 14, "OK", ui::kTabStop},
        {IDCANCEL, Kind::PushButton, 240, 162, 48, 14, "Cancel", ui::kTabStop},
    },
};

const ui::DialogTemplate kPageTemplate = {
    201, 160, 40, "", ui::kChild | ui::kControlParent, "System", 10,
    {
        {IDC_NOTE, Kind::Static, 4, 4, 150, 10, "Express delivery is free today", 0},
        {IDC_EXPRESS, Kind::AutoCheckBox, 4, 20, 70, 10, "Express", ui::kTabStop},
        {IDC_INSURED, Kind::AutoCheckBox, 80, 20, 70, 10, "Insured", ui::kTabStop | ui::kDisabled},
    },
};

const ui::DialogTemplate kAboutTemplate = {
    202, 160, 60, "About", ui::kCaption | ui::kSysMenu | ui::kModalFrame, "System", 10,
    {
        {ui::kNoId, Kind::Icon, 7, 7, 20, 20, "128", 0},
        {1091, Kind::Static, 35, 7, 120, 8, "", 0},
        {1092, Kind::Static, 35, 19, 120, 8, "", 0},
        {IDOK, Kind::DefPushButton, 55, 40, 50, 14, "OK", ui::kTabStop | ui::kGroup},
    },
};

const ui::DialogTemplate kProgressTemplate = {
    203, 220, 46, "", ui::kModalFrame, "System", 10,
    {
        {1079, Kind::Progress, 7, 28, 206, 12, "", ui::kBorder},
    },
};

// ---------------------------------------------------------------- BlinkLabel

void BlinkLabel::Blink(bool on) {
    if (active_) {
        SetText(saved_);
        KillTimer(1);
        active_ = false;
    }
    if (on) {
        saved_ = Text();
        phase_ = false;
        active_ = true;
        SetTimer(1, 500);
    }
}

void BlinkLabel::OnTimer(int) {
    phase_ = !phase_;
    SetText(phase_ ? std::string() : saved_);
    ++ticks;
}

// ---------------------------------------------------------------- pages and boxes

bool SamplePage::OnInitDialog() {
    Dialog::OnInitDialog();
    note.SetColors(ui::Rgb(0, 0, 255), ui::Rgb(255, 202, 253));
    On(IDC_EXPRESS, ui::Notify::Clicked, [this] { note.Blink(IsButtonChecked(IDC_EXPRESS) != 0); });
    return true;
}

void SamplePage::DoDataExchange(ui::DataExchange& dx) {
    dx.Control(IDC_NOTE, note);
    dx.Check(IDC_EXPRESS, express);
}

bool AboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetItemText(1091, "Sample 1.0");
    SetItemText(1092, "A small dialog program");
    SetWindowText("About Sample");
    return true;
}

bool ProgressDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    Bar(1079).SetRange(0, 100);
    SetTimer(1, 100);
    return true;
}

void ProgressDlg::OnTimer(int) {
    ui::ProgressBar bar = Bar(1079);
    int pos = bar.GetPos();
    int s = status.load();
    if (s == 0) {
        bar.SetPos(pos < 90 ? pos + 10 : 90);
    } else if (s == 2 && pos < 100) {
        bar.SetPos(pos + 10);
    } else {
        if (s == 1) bar.SetPos(0);
        finalPos = bar.GetPos();
        KillTimer(1);
        EndDialog(IDOK);
    }
}

void ProgressDlg::OnPaint(ui::Painter& p) {
    ui::Rect r = p.ClientRect();
    r.h = 2 * r.h / 3;
    ui::TextStyle style;
    style.font.face = "System";
    style.font.height = 20;
    style.font.weight = 700;
    style.color = ui::Rgb(0, 51, 153);
    p.DrawText(r, "Please wait...", style);
}

// ---------------------------------------------------------------- MainDlg

MainDlg::MainDlg() : Dialog(kMainTemplate) {
    On(IDC_RUN, ui::Notify::Clicked, &MainDlg::OnRun);
    On(IDC_ASK, ui::Notify::Clicked, &MainDlg::OnAsk);
    On(IDC_PROGRESS, ui::Notify::Clicked, &MainDlg::OnProgress);
    On(IDC_ITEMS, ui::Notify::ItemChecked, &MainDlg::OnItemChecked);
    for (int id : {IDC_SMALL, IDC_MEDIUM, IDC_LARGE}) On(id, ui::Notify::Clicked, &MainDlg::OnSizeClicked);
    On(IDOK, ui::Notify::Clicked, [this] {
        if (!UpdateData(true) || !page.UpdateData(true)) return;
        ui::ListView items = View(IDC_ITEMS);
        checkedItems.clear();
        for (int i = 0; i < items.GetItemCount(); ++i)
            if (items.GetCheckState(i)) checkedItems.push_back(items.GetItemText(i));
        EndDialog(IDOK);
    });
}

bool MainDlg::OnInitDialog() {
    ui::ComboBox fruits = Combo(IDC_FRUIT);
    for (const char* f : {"Pear", "Apple", "Cherry", "\xCE\xF7\xB9\xCF", "Banana"}) fruits.AddString(f);
    ui::ComboBox colours = Combo(IDC_COLOUR);
    for (const char* c : {"Red", "Green", "Blue"}) colours.AddString(c);
    colours.SetCurSel(0);
    Dialog::OnInitDialog();  // the data exchange: size, wrap and the bar

    SetIcon(128);
    AppendSystemMenu(kAboutCommand, "About Sample...");
    AddTooltip(IDC_WRAP, "Wrap the fruit in paper");
    bar.SetRange(0, 100);

    std::string text;
    for (int i = 1; i <= 30; ++i) text += "Line " + std::to_string(i) + " of the agreement text.\r\n";
    SetItemText(IDC_TEXT, text);

    ui::ListView items = View(IDC_ITEMS);
    items.SetExtendedStyle(ui::kLvCheckBoxes | ui::kLvGridLines | ui::kLvFullRowSelect);
    int n = 0;
    for (const char* s : {"Receipt printer", "Label printer", "Ticket printer"}) items.InsertItem(n++, s);

    Log("Ready.");

    page.Create(*this);
    page.MoveTo(ItemRect(IDC_PAGE_FRAME));
    page.ShowWindow(SW_SHOW);
    return true;
}

void MainDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.ListText(IDC_FRUIT, fruit);
    if (dx.Saving() && fruit.empty()) dx.Fail(IDC_FRUIT, "Pick a fruit first.");
    dx.Radio(IDC_SMALL, size);
    dx.Check(IDC_WRAP, wrap);
    dx.Control(IDC_BAR, bar);
}

void MainDlg::OnShowWindow(bool show) {
    if (show) SetWindowText("Sample dialog");
}

bool MainDlg::OnSysCommand(int command) {
    if ((command & ui::kSysCommandMask) != kAboutCommand) return false;
    AboutDlg about;
    about.DoModal(this);
    return true;
}

bool MainDlg::OnHelp() {
    ui::AppMessageBox("Choose a fruit and a size, then press OK.");
    return true;
}

void MainDlg::OnPaint(ui::Painter& p) {
    if (IsIconic()) p.DrawIcon(128);
}

// Appends a line and selects it, so that the newest line is in view.
void MainDlg::Log(const std::string& line) {
    ui::ListBox log = List(IDC_LOG);
    log.SetCurSel(log.AddString(line));
}

void MainDlg::OnSizeClicked() {
    static const char* const names[] = {"Small", "Medium", "Large"};
    int id = CheckedRadioButton(IDC_SMALL, IDC_LARGE);
    if (id) Log(std::string("Size: ") + names[id - IDC_SMALL]);
}

// The worker touches the controls directly; each call runs on the
// user-interface thread while the worker waits.
void MainDlg::OnRun() {
    EnableItem(IDC_RUN, false);
    workerDone = false;
    ui::StartWorker([this] {
        for (int i = 1; i <= 10; ++i) {
            bar.SetPos(i * 10);
            Log("Step " + std::to_string(i));
        }
        EnableItem(IDC_RUN, true);
        workerDone = true;
    });
}

void MainDlg::OnAsk() {
    int answer = ui::AppMessageBox("Do you like fruit?", true);
    Log(answer == IDYES ? "Answer: yes" : "Answer: no");
}

void MainDlg::OnProgress() {
    ProgressDlg progress;
    // The work takes a while: the bar climbs to 90 and holds there meanwhile.
    ui::StartWorker([&progress] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        progress.status = 2;
    });
    progress.DoModal(this);
    Log("Progress: " + std::to_string(progress.finalPos));
}

void MainDlg::OnItemChecked() {
    ui::ListView items = View(IDC_ITEMS);
    int n = 0;
    for (int i = 0; i < items.GetItemCount(); ++i) n += items.GetCheckState(i) ? 1 : 0;
    Log("Checked: " + std::to_string(n));
}

std::string Summary(MainDlg& dlg, int result) {
    std::string s = std::string("RESULT ") + (result == IDOK ? "ok" : result == IDCANCEL ? "cancel" : "error");
    if (result != IDOK) return s;
    s += " fruit=" + dlg.fruit + " size=" + std::to_string(dlg.size) + " wrap=" + std::to_string(dlg.wrap) +
         " express=" + std::to_string(dlg.page.express) + " items=";
    for (std::size_t i = 0; i < dlg.checkedItems.size(); ++i) s += (i ? "," : "") + dlg.checkedItems[i];
    return s;
}

}  // namespace sample

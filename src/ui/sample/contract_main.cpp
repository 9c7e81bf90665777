// The same control operations against whichever back end this build shows:
// the model on Linux (a ctest), real windows on Windows (run under wine), so
// that the two cannot drift apart. Prints one line per failed check and ends
// with a non-zero status when any failed.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win_types.h"
#include "ui/app.h"
#include "ui/dialog.h"

namespace {

using ui::Kind;

const ui::DialogTemplate kContract = {
    600, 220, 140, "Contract", ui::kCaption | ui::kSysMenu, "System", 10,
    {
        {10, Kind::DropList, 5, 5, 80, 60, "", ui::kSorted | ui::kVScroll},
        {11, Kind::DropList, 5, 20, 80, 60, "", ui::kVScroll},
        {12, Kind::ListBox, 5, 35, 80, 30, "", ui::kVScroll | ui::kNoIntegralHeight},
        {13, Kind::ListView, 90, 5, 120, 40, "", ui::kBorder},
        {14, Kind::Progress, 90, 50, 120, 10, "", 0},
        {20, Kind::AutoRadioButton, 5, 70, 40, 10, "A", ui::kGroup},
        {21, Kind::AutoRadioButton, 5, 80, 40, 10, "B", 0},
        {24, Kind::AutoCheckBox, 95, 70, 40, 10, "auto", 0},
        {26, Kind::Static, 140, 70, 60, 10, "hidden", ui::kHidden},
        {27, Kind::PushButton, 140, 80, 40, 12, "off", ui::kDisabled},
        {28, Kind::Edit, 5, 95, 100, 12, "", 0},
        {IDOK, Kind::DefPushButton, 100, 120, 40, 14, "OK", 0},
        {IDCANCEL, Kind::PushButton, 150, 120, 40, 14, "Cancel", 0},
    },
};

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (ok) return;
    ++failures;
    std::printf("FAIL %s\n", what.c_str());
}

template <class T>
void Same(const T& got, const T& want, const std::string& what) {
    Check(got == want, what);
}

class Contract : public ui::Dialog {
public:
    Contract() : Dialog(kContract) {}
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        Run();
        EndDialog(IDOK);
        return true;
    }
    void DoDataExchange(ui::DataExchange& dx) override {
        dx.Radio(20, choice);
        dx.Check(24, check);
        dx.Int(28, number, 0, 100);
    }

    int choice = 1, check = 1, number = 5;

private:
    void Run() {
        // Sorted and unsorted drop-down lists.
        ui::ComboBox sorted = Combo(10), plain = Combo(11);
        for (const char* s : {"KSCOM2:", "LPT1:", "COM1:", "usb_x_1", "KSCOM1:"}) {
            sorted.AddString(s);
            plain.AddString(s);
        }
        Same(sorted.GetItemText(0), std::string("COM1:"), "sorted first");
        Same(sorted.GetItemText(4), std::string("usb_x_1"), "sorted last (letter case ignored)");
        Same(plain.GetItemText(0), std::string("KSCOM2:"), "unsorted keeps order");
        Same(plain.FindString(-1, "ks"), 0, "prefix, case-insensitive");
        Same(plain.FindString(0, "KS"), 4, "prefix after start");
        Same(plain.FindString(4, "KS"), 0, "prefix wraps");
        Same(plain.FindStringExact(-1, "lpt1:"), 1, "exact");
        Same(plain.FindStringExact(-1, "LPT"), -1, "exact is not a prefix");
        Same(plain.SelectString(-1, "usb"), 3, "select by prefix");
        Same(plain.GetSelectedText(), std::string("usb_x_1"), "selected text");
        Same(plain.DeleteString(0), 4, "delete returns the count left");
        Same(plain.GetCurSel(), 2, "selection moves with a deletion before it");
        Same(plain.SetCurSel(9), -1, "select out of range");
        Same(plain.GetCurSel(), -1, "out of range clears the selection");
        Same(plain.InsertString(1, "X"), 1, "insert at");
        Same(plain.GetCount(), 5, "count");
        plain.ResetContent();
        Same(plain.GetCount(), 0, "reset");

        // List box: append and select the last line.
        ui::ListBox log = List(12);
        for (const char* s : {"one", "two", "three"}) log.SetCurSel(log.AddString(s));
        Same(log.GetCurSel(), 2, "list box selects the appended line");
        Same(log.GetItemText(1), std::string("two"), "list box text");

        // List view with check boxes.
        ui::ListView view = View(13);
        view.SetExtendedStyle(ui::kLvCheckBoxes | ui::kLvGridLines | ui::kLvTrackSelect | ui::kLvFullRowSelect);
        Same(view.GetExtendedStyle() & 0x2Du, 0x2Du, "list view styles");
        Same(view.InsertItem(0, "printer"), 0, "insert item");
        Same(view.InsertItem(9, "monitor"), 1, "insert past the end appends");
        Same(view.InsertItem(0, "processor"), 0, "insert first");
        Check(!view.GetCheckState(1), "new items are unchecked");
        Check(view.SetCheckState(2, true), "set check");
        Check(view.GetCheckState(2), "check kept");
        Check(view.DeleteItem(0), "delete item");
        Same(view.GetItemCount(), 2, "item count");
        Same(view.GetItemText(1), std::string("monitor"), "item text");
        Check(view.GetCheckState(1), "the check travels with its item");
        Check(!view.DeleteItem(5), "delete out of range");

        // Progress bar.
        ui::ProgressBar bar = Bar(14);
        bar.SetRange(0, 100);
        Same(bar.SetPos(42), 0, "progress returns the previous position");
        bar.SetPos(150);
        Same(bar.GetPos(), 100, "progress clamps");

        // Text, state, radio groups and the data exchange.
        Check(!IsItemVisible(26), "hidden in the template");
        ShowItem(26, true);
        Check(IsItemVisible(26), "shown");
        Check(!IsItemEnabled(27), "disabled in the template");
        SetItemText(26, "text");
        Same(ItemText(26), std::string("text"), "item text");
        Same(CheckedRadioButton(20, 21), 21, "radio from the exchange");
        Same(IsButtonChecked(24), 1, "check from the exchange");
        CheckRadioButton(20, 21, 20);
        CheckButton(24, 0);
        SetItemText(28, "77");
        Check(UpdateData(true), "exchange back");
        Same(choice, 0, "radio index");
        Same(check, 0, "check value");
        Same(number, 77, "number");
        Same(ItemRect(13), (ui::Rect{90, 5, 120, 40}), "item rectangle in dialog units");
        SetWindowText("Contract done");
        Same(GetWindowText(), std::string("Contract done"), "caption");
    }
};

}  // namespace

int main(int argc, char** argv) {
    // Linux runs the model (an empty script: the dialog ends itself); Windows
    // shows real windows.
#ifndef _WIN32
    static char scriptFlag[] = "--script";
    static char devNull[] = "/dev/null";
    std::vector<char*> args{argv[0], scriptFlag, devNull, nullptr};
    int n = 3;
    if (int status = ui::Init(n, args.data())) return status;
#else
    if (int status = ui::Init(argc, argv)) return status;
#endif
    Contract c;
    int result = c.DoModal();
    Check(result == IDOK, "the dialog ended with IDOK");
    std::printf("%s: %d failed\n", failures ? "FAILED" : "passed", failures);
    ui::Shutdown();
    return failures ? 1 : 0;
}

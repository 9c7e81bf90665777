// The in-memory back end: control state and operations of every kind,
// pages, modal dialogs, keys and the desktop's record of our windows.
#include <gtest/gtest.h>

#include "platform/win_types.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/test_support.h"

namespace ui {
namespace {

using test::RecordingDesktop;
using test::ScriptRun;

const DialogTemplate kControls = {
    300, 200, 120, "Controls", kCaption | kSysMenu, "System", 10,
    {
        {10, Kind::DropList, 5, 5, 80, 60, "", kSorted | kTabStop},
        {11, Kind::DropList, 5, 20, 80, 60, "", kTabStop},
        {12, Kind::ListBox, 5, 35, 80, 30, "", kVScroll},
        {13, Kind::ListView, 90, 5, 100, 40, "", kBorder},
        {14, Kind::Progress, 90, 50, 100, 10, "", 0},
        {20, Kind::AutoRadioButton, 5, 70, 40, 10, "A", kGroup},
        {21, Kind::AutoRadioButton, 5, 80, 40, 10, "B", 0},
        {22, Kind::AutoRadioButton, 50, 70, 40, 10, "C", kGroup},
        {23, Kind::AutoRadioButton, 50, 80, 40, 10, "D", 0},
        {24, Kind::AutoCheckBox, 95, 70, 40, 10, "auto", 0},
        {25, Kind::CheckBox, 95, 80, 40, 10, "manual", 0},
        {26, Kind::Static, 140, 70, 40, 10, "hidden", kHidden},
        {27, Kind::PushButton, 140, 80, 40, 10, "off", kDisabled},
        {IDOK, Kind::DefPushButton, 100, 100, 40, 14, "OK", 0},
        {IDCANCEL, Kind::PushButton, 150, 100, 40, 14, "Cancel", 0},
    },
};

// Runs `body` inside OnInitDialog of a dialog from `tmpl`, then ends it.
class Probe : public Dialog {
public:
    explicit Probe(const DialogTemplate& t, std::function<void(Probe&)> body) : Dialog(t), body_(std::move(body)) {}
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        body_(*this);
        EndDialog(IDOK);
        return true;
    }
    std::function<void(Probe&)> body_;
};

void WithDialog(const DialogTemplate& t, std::function<void(Probe&)> body) {
    ScriptRun run("");
    Probe p(t, std::move(body));
    EXPECT_EQ(p.DoModal(), IDOK);
    EXPECT_EQ(run.finish(), "");
}

TEST(ModelLists, SortedListsInsertInOrderWhateverTheInsertionOrder) {
    WithDialog(kControls, [](Probe& d) {
        ComboBox sorted = d.Combo(10), plain = d.Combo(11);
        for (const char* s : {"KSCOM2:", "LPT1:", "COM1:", "usb_x_1", "KSCOM1:"}) {
            sorted.AddString(s);
            plain.AddString(s);
        }
        std::vector<std::string> got, kept;
        for (int i = 0; i < sorted.GetCount(); ++i) got.push_back(sorted.GetItemText(i));
        for (int i = 0; i < plain.GetCount(); ++i) kept.push_back(plain.GetItemText(i));
        // Letter case does not count, as in Windows.
        EXPECT_EQ(got, (std::vector<std::string>{"COM1:", "KSCOM1:", "KSCOM2:", "LPT1:", "usb_x_1"}));
        EXPECT_EQ(kept, (std::vector<std::string>{"KSCOM2:", "LPT1:", "COM1:", "usb_x_1", "KSCOM1:"}));
        // InsertString puts an item where it is told, even in a sorted list.
        EXPECT_EQ(sorted.InsertString(0, "ZZZ"), 0);
        EXPECT_EQ(sorted.InsertString(99, "x"), ListControl::kNone);
        EXPECT_EQ(sorted.InsertString(-1, "last"), 6);
    });
}

TEST(ModelLists, FindSelectAndDelete) {
    WithDialog(kControls, [](Probe& d) {
        ListControl list = d.Combo(11);
        for (const char* s : {"110", "300", "1200", "2400", "38400", "115200"}) list.AddString(s);
        struct Case {
            int start;
            const char* text;
            bool exact;
            int want;
        } cases[] = {
            {-1, "1", false, 0},      // the first prefix match from the top
            {0, "1", false, 2},       // after item 0
            {2, "11", false, 5},      // after item 2: 115200
            {5, "11", false, 0},      // wraps round to the top
            {-1, "38400", true, 4},   // exact
            {-1, "3840", true, -1},   // a prefix is not an exact match
            {-1, "", false, 0},       // an empty prefix matches the first item
            {-1, "9", false, -1},     // nothing
            {99, "300", false, 1},    // a start out of range searches from the top
        };
        for (const Case& c : cases) {
            int got = c.exact ? list.FindStringExact(c.start, c.text) : list.FindString(c.start, c.text);
            EXPECT_EQ(got, c.want) << c.start << " " << c.text;
        }
        EXPECT_EQ(list.SelectString(-1, "24"), 3);
        EXPECT_EQ(list.GetSelectedText(), "2400");
        // Deleting before the selection moves it; deleting it clears it.
        EXPECT_EQ(list.DeleteString(0), 5);
        EXPECT_EQ(list.GetCurSel(), 2);
        list.DeleteString(2);
        EXPECT_EQ(list.GetCurSel(), -1);
        EXPECT_EQ(list.GetSelectedText(), "");
        EXPECT_EQ(list.DeleteString(7), ListControl::kNone);
        EXPECT_EQ(list.SetCurSel(9), ListControl::kNone);
        EXPECT_EQ(list.GetCurSel(), -1);
        EXPECT_EQ(list.GetItemText(9), "");
        list.ResetContent();
        EXPECT_EQ(list.GetCount(), 0);
    });
}

TEST(ModelLists, ListViewItemsWithCheckBoxes) {
    WithDialog(kControls, [](Probe& d) {
        ListView v = d.View(13);
        v.SetExtendedStyle(kLvCheckBoxes | kLvGridLines | kLvTrackSelect | kLvFullRowSelect);
        EXPECT_EQ(v.GetExtendedStyle(), 0x2Du);
        EXPECT_EQ(v.InsertItem(0, "printer"), 0);
        EXPECT_EQ(v.InsertItem(7, "monitor"), 1);  // past the end appends
        EXPECT_EQ(v.InsertItem(0, "processor"), 0);
        EXPECT_TRUE(v.SetCheckState(2, true));
        EXPECT_FALSE(v.SetCheckState(3, true));
        EXPECT_TRUE(v.DeleteItem(0));
        EXPECT_EQ(v.GetItemCount(), 2);
        EXPECT_EQ(v.GetItemText(1), "monitor");
        EXPECT_TRUE(v.GetCheckState(1));  // the check travels with its item
        EXPECT_FALSE(v.GetCheckState(0));
        EXPECT_FALSE(v.DeleteItem(5));
        v.DeleteAllItems();
        EXPECT_EQ(v.GetItemCount(), 0);
    });
}

TEST(ModelControls, ProgressClampsToItsRange) {
    WithDialog(kControls, [](Probe& d) {
        ProgressBar bar = d.Bar(14);
        bar.SetRange(0, 100);
        EXPECT_EQ(bar.SetPos(42), 0);
        EXPECT_EQ(bar.SetPos(150), 42);  // the previous position
        EXPECT_EQ(bar.GetPos(), 100);
        bar.SetPos(-3);
        EXPECT_EQ(bar.GetPos(), 0);
        bar.SetPos(90);
        bar.SetRange(0, 50);
        EXPECT_EQ(bar.GetPos(), 50);
    });
}

TEST(ModelControls, TextStateRadioGroupsAndUnknownIds) {
    WithDialog(kControls, [](Probe& d) {
        d.SetItemText(26, "shown now");
        d.ShowItem(26, true);
        EXPECT_TRUE(d.IsItemVisible(26));
        EXPECT_EQ(d.ItemText(26), "shown now");
        EXPECT_FALSE(d.IsItemEnabled(27));
        d.EnableItem(27, true);
        EXPECT_TRUE(d.IsItemEnabled(27));
        d.CheckRadioButton(20, 21, 21);
        d.CheckRadioButton(22, 23, 22);
        EXPECT_EQ(d.CheckedRadioButton(20, 21), 21);
        EXPECT_EQ(d.CheckedRadioButton(22, 23), 22);
        d.CheckRadioButton(20, 21, 20);
        EXPECT_EQ(d.IsButtonChecked(21), 0);
        EXPECT_EQ(d.CheckedRadioButton(24, 25), 0);
        // A control that is not there: nothing happens, empty answers.
        EXPECT_FALSE(d.HasItem(999));
        d.SetItemText(999, "x");
        EXPECT_EQ(d.ItemText(999), "");
        EXPECT_EQ(d.Combo(999).GetCurSel(), ListControl::kNone);
        EXPECT_EQ(d.ItemRect(10), (Rect{5, 5, 80, 60}));
    });
}

// A user's clicks: an auto radio button unchecks only its own group, an auto
// check box toggles, a plain check box only reports the click.
TEST(ModelClicks, ButtonsBehaveByKind) {
    ScriptRun run("click 21\nclick 22\nclick 24\nclick 25\nclick 24\nclick 24\nkey ESCAPE\n");
    struct Dlg : Dialog {
        Dlg() : Dialog(kControls) {
            for (int id : {21, 22, 24, 25}) On(id, Notify::Clicked, [this, id] { clicks.push_back(id); });
        }
        void OnCancel() override {
            radio = {IsButtonChecked(20), IsButtonChecked(21), IsButtonChecked(22), IsButtonChecked(23)};
            autoBox = IsButtonChecked(24);
            manual = IsButtonChecked(25);
            Dialog::OnCancel();
        }
        std::vector<int> clicks, radio;
        int autoBox = -1, manual = -1;
    } d;
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_EQ(run.finish(), "");
    EXPECT_EQ(d.clicks, (std::vector<int>{21, 22, 24, 25, 24, 24}));
    EXPECT_EQ(d.radio, (std::vector<int>{0, 1, 1, 0}));
    EXPECT_EQ(d.autoBox, 1);
    EXPECT_EQ(d.manual, 0);
}

// Enter presses the default button, Escape is Cancel, and a disabled Cancel
// button keeps Escape from closing the dialog.
TEST(ModelKeys, EnterAndEscape) {
    struct Case {
        const char* script;
        int result;
        bool cancelDisabled;
        const char* error;
    } cases[] = {
        {"key ENTER\n", IDOK, false, ""},
        {"key ESCAPE\n", IDCANCEL, false, ""},
        {"key ESCAPE\nkey ENTER\n", IDOK, true, "the Cancel button is disabled"},
    };
    for (const Case& c : cases) {
        ScriptRun run(c.script);
        struct Dlg : Dialog {
            explicit Dlg(bool off) : Dialog(kControls), off(off) {}
            bool OnInitDialog() override {
                Dialog::OnInitDialog();
                EnableItem(IDCANCEL, !off);
                return true;
            }
            bool off;
        } d(c.cancelDisabled);
        EXPECT_EQ(d.DoModal(), c.result) << c.script;
        std::string err = run.finish();
        EXPECT_NE(err.find(c.error), std::string::npos) << err;
    }
}

// The close box of the system menu is Escape: it too does nothing while the
// Cancel button is disabled (a removal under way cannot be walked out of).
TEST(ModelKeys, CloseBoxFollowsTheCancelButton) {
    ScriptRun run("");
    struct Dlg : Dialog {
        Dlg() : Dialog(kControls) {}
        bool OnInitDialog() override {
            Dialog::OnInitDialog();
            auto& m = *static_cast<ModelBackend*>(detail::ActiveBackend());
            EnableItem(IDCANCEL, false);
            m.systemCommand(*this, 0xF060);
            stillOpen = !m.window(*this)->ended;
            EnableItem(IDCANCEL, true);
            m.systemCommand(*this, 0xF060);
            return true;
        }
        bool stillOpen = false;
    } d;
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_TRUE(d.stillOpen);
    run.finish();
}

const DialogTemplate kParent = {
    310, 200, 100, "Parent", kCaption, "System", 10,
    {
        {1001, Kind::EtchedFrame, 50, 5, 140, 80, "", kHidden},
        {IDOK, Kind::DefPushButton, 50, 85, 40, 14, "Next", 0},
        {IDCANCEL, Kind::PushButton, 100, 85, 40, 14, "Cancel", 0},
    },
};
const DialogTemplate kPage = {
    311, 140, 80, "", kChild, "System", 10,
    {
        {1057, Kind::AutoRadioButton, 5, 5, 50, 10, "Accept", kGroup},
        {1058, Kind::AutoRadioButton, 5, 20, 50, 10, "Reject", 0},
        {IDOK, Kind::PushButton, 5, 40, 40, 14, "page OK", kHidden},
    },
};

struct Page : Dialog {
    Page() : Dialog(kPage) {}
    bool OnInitDialog() override {
        events.push_back("init");
        return Dialog::OnInitDialog();
    }
    void OnShowWindow(bool show) override { events.push_back(show ? "show" : "hide"); }
    void OnDestroy() override { events.push_back("destroy"); }
    void OnOK() override { events.push_back("page OK"); }
    std::vector<std::string> events;
};

struct Wizard : Dialog {
    Wizard() : Dialog(kParent) { On(1057, Notify::Clicked, [] {}); }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        page.Create(*this);
        page.MoveTo(ItemRect(1001));
        if (showPage) page.ShowWindow(SW_SHOW);
        return true;
    }
    bool OnHelp() override {
        ++help;
        return true;
    }
    Page page;
    bool showPage = true;
    int help = 0;
};

// Pages: created hidden with their initialisation, shown and hidden with
// their handler, reached by scripts only while shown, destroyed with the parent.
TEST(ModelPages, LifecycleAndReach) {
    ScriptRun run("click 1058\nkey F1\nkey ENTER\n");
    Wizard w;
    EXPECT_EQ(w.DoModal(), IDOK);
    EXPECT_EQ(run.finish(), "");
    EXPECT_EQ(w.page.events, (std::vector<std::string>{"init", "show", "destroy"}));
    EXPECT_EQ(w.help, 1);  // F1 on the page reaches the wizard
    EXPECT_FALSE(w.page.IsWindow());
}

TEST(ModelPages, HiddenPageIsOutOfReach) {
    ScriptRun run("click 1058\n");
    Wizard w;
    w.showPage = false;
    w.DoModal();
    std::string err = run.finish();
    EXPECT_EQ(run.failStatus, kScriptFailed);
    EXPECT_NE(err.find("line 1: click 1058: control 1058 (autoradio) is hidden"), std::string::npos) << err;
}

// A dialog that ends in its initialisation is never shown, yet its window was
// registered (a program searching by title would have found it meanwhile).
TEST(ModelModal, EndInInitNeverShowsAndTheDesktopFollowsOurWindows) {
    RecordingDesktop desktop;
    SetApplicationName("Setup");
    ScriptRun run("answer ok\nkey ENTER\n", Hooks{&desktop, nullptr});
    struct Refuses : Dialog {
        Refuses() : Dialog(kParent) {}
        bool OnInitDialog() override {
            Dialog::OnInitDialog();
            EndDialog(IDCANCEL);
            return true;
        }
        void OnShowWindow(bool) override { shown = true; }
        bool shown = false;
    } refuses;
    EXPECT_EQ(refuses.DoModal(), IDCANCEL);
    EXPECT_FALSE(refuses.shown);

    struct Titled : Dialog {
        Titled() : Dialog(kParent) {}
        void OnShowWindow(bool show) override {
            if (show) SetWindowText("Drivanto");
        }
        void OnOK() override {
            WindowMessageBox(this, "done");
            ShowWindow(SW_MINIMIZE);
            Dialog::OnOK();
        }
    } titled;
    EXPECT_EQ(titled.DoModal(), IDOK);
    EXPECT_EQ(run.finish(), "");
    EXPECT_EQ(desktop.log, (std::vector<std::string>{
                               "register Parent", "unregister Parent",
                               "register Parent", "state Parent 5", "title Drivanto",
                               "register Setup", "unregister Setup",  // the box, captioned with the program's name
                               "state Drivanto 6", "unregister Drivanto"}));
    EXPECT_TRUE(desktop.titles.empty());
}

}  // namespace
}  // namespace ui

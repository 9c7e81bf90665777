// Data exchange: values both ways, validation failures and their hook, and
// the binding of control objects that then receive their own events.
#include <gtest/gtest.h>

#include "platform/win_types.h"
#include "ui/dialog.h"
#include "ui/test_support.h"

namespace ui {
namespace {

using test::ScriptRun;

const DialogTemplate kForm = {
    400, 200, 100, "Form", kCaption, "System", 10,
    {
        {1, Kind::Edit, 5, 5, 80, 12, "", 0},
        {2, Kind::Edit, 5, 20, 80, 12, "", 0},
        {3, Kind::AutoCheckBox, 5, 35, 80, 10, "check", 0},
        {4, Kind::AutoRadioButton, 5, 50, 40, 10, "r0", kGroup},
        {5, Kind::AutoRadioButton, 5, 60, 40, 10, "r1", 0},
        {6, Kind::AutoRadioButton, 5, 70, 40, 10, "r2", 0},
        {7, Kind::AutoRadioButton, 50, 50, 40, 10, "other group", kGroup},
        {8, Kind::DropList, 90, 5, 80, 60, "", 0},
        {9, Kind::Static, 90, 30, 80, 10, "label", 0},
    },
};

struct Form : Dialog {
    Form() : Dialog(kForm) {}
    void DoDataExchange(DataExchange& dx) override {
        dx.Text(1, name, 8);
        dx.Int(2, number, 0, 100);
        dx.Check(3, check);
        dx.Radio(4, choice);
        dx.ListText(8, item);
        dx.ListIndex(8, index);
        dx.Control(9, label);
        ++exchanges;
    }
    void OnDataExchangeFailed(int id, const std::string& message) override {
        failures.push_back(std::to_string(id) + ": " + message);
    }
    std::string name = "abc";
    int number = 7, check = 1, choice = 2, index = 1, exchanges = 0;
    std::string item = "two";
    Control label;
    std::vector<std::string> failures;
};

// Runs `body` inside the form's initialisation (after the exchange into the controls).
void WithForm(std::function<void(Form&)> body) {
    ScriptRun run("");
    struct F : Form {
        std::function<void(Form&)> body;
        bool OnInitDialog() override {
            Combo(8).AddString("one");
            Combo(8).AddString("two");
            Dialog::OnInitDialog();
            body(*this);
            EndDialog(IDOK);
            return true;
        }
    } f;
    f.body = body;
    f.DoModal();
    EXPECT_EQ(run.finish(), "");
}

TEST(DataExchange, FieldsGoToControlsAndBack) {
    WithForm([](Form& f) {
        EXPECT_EQ(f.ItemText(1), "abc");
        EXPECT_EQ(f.ItemText(2), "7");
        EXPECT_EQ(f.IsButtonChecked(3), 1);
        EXPECT_EQ(f.CheckedRadioButton(4, 6), 6);
        EXPECT_EQ(f.Combo(8).GetSelectedText(), "two");
        EXPECT_EQ(f.IsButtonChecked(7), 0);  // another group is left alone

        f.SetItemText(1, "xyz");
        f.SetItemText(2, " 42 ");
        f.CheckButton(3, 0);
        f.CheckRadioButton(4, 6, 4);
        f.Combo(8).SetCurSel(0);
        EXPECT_TRUE(f.UpdateData(true));
        EXPECT_EQ(f.name, "xyz");
        EXPECT_EQ(f.number, 42);
        EXPECT_EQ(f.check, 0);
        EXPECT_EQ(f.choice, 0);
        EXPECT_EQ(f.item, "one");
        EXPECT_EQ(f.index, 0);
        EXPECT_TRUE(f.failures.empty());
    });
}

// A failure stops the exchange at that control, calls the hook once, and
// leaves the fields after it unchanged.
TEST(DataExchange, ValidationFailures) {
    struct Case {
        const char* name;
        const char* number;
        const char* failure;
    } cases[] = {
        {"too long!", "5", "1: Enter no more than 8 characters."},
        {"ok", "", "2: Please enter an integer."},
        {"ok", "12a", "2: Please enter an integer."},
        {"ok", "99999999999", "2: Please enter an integer."},
        {"ok", "101", "2: Please enter an integer between 0 and 100."},
        {"ok", "-1", "2: Please enter an integer between 0 and 100."},
    };
    for (const Case& c : cases) {
        WithForm([&](Form& f) {
            f.SetItemText(1, c.name);
            f.SetItemText(2, c.number);
            f.CheckButton(3, 0);
            EXPECT_FALSE(f.UpdateData(true)) << c.number;
            EXPECT_EQ(f.failures, std::vector<std::string>{c.failure});
            EXPECT_EQ(f.check, 1) << "the exchange went on after the failure";
        });
    }
}

// The default failure hook tells the user in an application message box.
TEST(DataExchange, DefaultHookShowsTheMessage) {
    ScriptRun run("answer ok\nkey ENTER\nkey ESCAPE\n");
    struct Strict : Dialog {
        Strict() : Dialog(kForm) {}
        void DoDataExchange(DataExchange& dx) override {
            if (dx.Saving()) dx.Fail(2, "Say something.");
        }
    } d;
    EXPECT_EQ(d.DoModal(), IDCANCEL);  // OK was refused, Escape ended it
    EXPECT_EQ(run.finish(), "");
    EXPECT_NE(run.out().find("MESSAGE  | Say something.\n"), std::string::npos) << run.out();
}

// A control object bound by the exchange: bound once, and it gets its own
// timers and typed characters.
TEST(DataExchange, BoundControlsReceiveTheirEvents) {
    struct Blinker : Control {
        void OnTimer(int id) override {
            ++ticks;
            if (ticks == 3) KillTimer(id);
        }
        bool OnChar(unsigned ch) override { return ch < '0' || ch > '9'; }
        int ticks = 0;
    };
    ScriptRun run("wait\nkey ESCAPE\n");
    struct D : Dialog {
        D() : Dialog(kForm) {}
        void DoDataExchange(DataExchange& dx) override { dx.Control(1, edit); }
        bool OnInitDialog() override {
            Dialog::OnInitDialog();
            UpdateData(true);  // a second exchange leaves the binding as it is
            edit.SetTimer(1, 500);
            SetTimer(1, 100000);  // the dialog's own timer with the same number
            return true;
        }
        void OnTimer(int) override { ++own; }
        Blinker edit;
        int own = 0;
    } d;
    d.DoModal();
    EXPECT_EQ(run.finish(), "");
    EXPECT_TRUE(d.edit.IsAttached());
    EXPECT_EQ(d.edit.ticks, 3);
    EXPECT_GE(d.own, 1);
    EXPECT_FALSE(Events::Char(d, 1, '5'));  // the bound object refuses digits
    EXPECT_TRUE(Events::Char(d, 1, 'a'));
    EXPECT_TRUE(Events::Char(d, 2, '5'));   // no object bound to 2
}

}  // namespace
}  // namespace ui

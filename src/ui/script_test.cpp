// Scripted runs: timers in virtual time, workers reaching the controls
// through the user-interface thread, message boxes and their answers, the
// parsing of commands.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win_types.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/test_support.h"

namespace ui {
namespace {

using test::ScriptRun;
using test::VirtualClock;

const DialogTemplate kBox = {
    500, 200, 100, "Box", kCaption, "System", 10,
    {
        {10, Kind::Progress, 5, 5, 100, 10, "", 0},
        {11, Kind::ListBox, 5, 20, 100, 50, "", 0},
        {12, Kind::PushButton, 5, 80, 40, 14, "Go", 0},
        {13, Kind::DropList, 110, 5, 80, 60, "", 0},
        {IDOK, Kind::DefPushButton, 110, 80, 40, 14, "OK", 0},
        {IDCANCEL, Kind::PushButton, 155, 80, 40, 14, "Cancel", 0},
    },
};

// Climbs one step per 100 ms timer event and ends itself at 100.
struct Climber : Dialog {
    Climber() : Dialog(kBox) {}
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        Bar(10).SetRange(0, 100);
        SetTimer(1, 100);
        return true;
    }
    void OnTimer(int) override {
        ProgressBar bar = Bar(10);
        bar.SetPos(bar.GetPos() + 10);
        if (bar.GetPos() >= 100) EndDialog(IDOK);
    }
};

// `wait` runs the timers in virtual time: the simulated clock moves by
// exactly the timers' periods and nothing really waits.
TEST(ScriptWait, TimersRunInVirtualTime) {
    VirtualClock clock;
    ScriptRun run("wait\n", Hooks{nullptr, &clock});
    Climber c;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(c.DoModal(), IDOK);
    EXPECT_EQ(run.finish(), "");
    EXPECT_EQ(clock.slept, 1000u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Without a clock the model keeps its own virtual time; a timer that never
// ends the dialog is run for a bounded time and the script goes on.
TEST(ScriptWait, EndlessTimerAndIdleDialogReturn) {
    ScriptRun run("wait\nwait\nkey ESCAPE\n");
    struct Ticker : Dialog {
        Ticker() : Dialog(kBox) {}
        bool OnInitDialog() override {
            Dialog::OnInitDialog();
            SetTimer(7, 500);
            return true;
        }
        void OnTimer(int) override { ++ticks; }
        int ticks = 0;
    } t;
    EXPECT_EQ(t.DoModal(), IDCANCEL);
    EXPECT_EQ(run.finish(), "");
    EXPECT_EQ(t.ticks, 2 * 1200);  // ten minutes of 500 ms, twice

    ScriptRun idle("wait\nkey ESCAPE\n");  // nothing to run: returns at once
    Dialog plain(kBox);
    EXPECT_EQ(plain.DoModal(), IDCANCEL);
    EXPECT_EQ(idle.finish(), "");
}

// A worker reaches the controls only through the user-interface thread, in
// order, and may run a modal dialog there (answered by the script).
TEST(ScriptWorker, CallsRunOnTheUiThreadInOrder) {
    ScriptRun run("click 12\nwait\nclick 2\nwait\ndump\nkey ESCAPE\n");
    struct Worker : Dialog {
        Worker() : Dialog(kBox) {
            On(12, Notify::Clicked, [this] {
                EnableItem(12, false);
                StartWorker([this] {
                    ListBox log = List(11);
                    for (int i = 0; i < 200; ++i) log.AddString(std::to_string(i));
                    CallOnUiThread([this] { uiThread = std::this_thread::get_id(); });
                    Dialog prompt(kBox);
                    promptResult = prompt.DoModal(this);  // runs on the UI thread
                    log.AddString("prompt " + std::to_string(promptResult));
                    EnableItem(12, true);
                });
            });
        }
        std::thread::id uiThread;
        int promptResult = 0;
    } w;
    EXPECT_EQ(w.DoModal(), IDCANCEL);
    EXPECT_EQ(run.finish(), "");
    EXPECT_EQ(w.uiThread, std::this_thread::get_id());
    EXPECT_EQ(w.promptResult, IDCANCEL);
    std::string out = run.out();
    std::string items = "items=[\"0\",\"1\",\"2\",";
    EXPECT_NE(out.find(items), std::string::npos) << out;
    EXPECT_NE(out.find("\"198\",\"199\",\"prompt 2\"]"), std::string::npos) << out;
    EXPECT_NE(out.find("12 button \"Go\" enabled shown"), std::string::npos);
    EXPECT_EQ(RunningWorkers(), 0);
}

// Message boxes: one line each, UTF-8, CR LF shown as \n; answers are taken
// in order and must fit the box.
TEST(ScriptMessages, LinesAndAnswers) {
    SetApplicationName("Drivanto");
    ScriptRun run("answer yes\nanswer no\nanswer ok\nclick 12\nkey ESCAPE\n");
    struct Asks : Dialog {
        Asks() : Dialog(kBox) {
            On(12, Notify::Clicked, [this] {
                answers.push_back(AppMessageBox("Restart now?", true));
                answers.push_back(AppMessageBox("Change the id?\r\nReally?", true));
                answers.push_back(WindowMessageBox(this, "\xB0\xB2\xD7\xB0\xCA\xA7\xB0\xDC"));  // GBK
            });
        }
        std::vector<int> answers;
    } d;
    d.DoModal();
    EXPECT_EQ(run.finish(), "");
    EXPECT_EQ(d.answers, (std::vector<int>{IDYES, IDNO, IDOK}));
    EXPECT_EQ(run.out(),
              "MESSAGE Drivanto | Restart now?\n"
              "MESSAGE Drivanto | Change the id?\\nReally?\n"
              "MESSAGE Drivanto | 安装失败\n");
}

// The error rules: each ends the script with a clear message and status 3.
TEST(ScriptErrors, EachRuleFails) {
    struct Case {
        const char* script;
        const char* error;
    } cases[] = {
        {"click 12\n", "line 1: a message box appeared with no answer queued: \"Go on?\""},
        {"answer ok\nclick 12\n", "line 1: answer ok was given to a yes/no question"},
        {"click 99\n", "line 1: click 99: there is no control 99"},
        {"click 10\n", "line 1: click 10: control 10 is a progress, not a button"},
        {"select 13 Blue\n", "line 1: select 13: list 13 has no item \"Blue\""},
        {"select 12 Go\n", "line 1: select 12: control 12 is a button, not a list"},
        {"check 11 x\n", "line 1: check 11: control 11 is not a list view with check boxes"},
        {"key TAB\n", "line 1: key takes ENTER, ESCAPE or F1"},
        {"answer maybe\n", "line 1: answer takes yes, no or ok"},
        {"click\n", "line 1: click needs a control id"},
        {"select 13\n", "line 1: select needs a control id and a text"},
        {"select 13 \"Red\n", "line 1: select needs a control id and a text"},
        {"dump now\n", "line 1: dump takes no argument"},
        {"\n# nothing\n", "the script ended while dialog 500 (\"Box\") is still open"},
    };
    for (const Case& c : cases) {
        ScriptRun run(c.script);
        struct Asks : Dialog {
            Asks() : Dialog(kBox) {
                On(12, Notify::Clicked, [] { AppMessageBox("Go on?", true); });
            }
            bool OnInitDialog() override {
                Dialog::OnInitDialog();
                Combo(13).AddString("Red");
                return true;
            }
        } d;
        d.DoModal();
        std::string err = run.finish();
        EXPECT_EQ(run.failStatus, kScriptFailed) << c.script;
        EXPECT_NE(err.find(c.error), std::string::npos) << c.script << " gave: " << err;
    }
}

// Texts: quoted with the dump's escapes, or plain up to a comment.
TEST(ScriptParsing, TextsAndComments) {
    ScriptRun run(
        "  # a comment line\n"
        "select 13 \"a \\\"quoted\\\" #1\"   # chosen\n"
        "select 13 plain text   # a comment\n"
        "select 13 \"trailing \"\n"
        "key ESCAPE # done\n");
    struct Lists : Dialog {
        Lists() : Dialog(kBox) {
            On(13, Notify::SelChange, [this] { picked.push_back(Combo(13).GetSelectedText()); });
        }
        bool OnInitDialog() override {
            Dialog::OnInitDialog();
            for (const char* s : {"a \"quoted\" #1", "plain text", "trailing "}) Combo(13).AddString(s);
            return true;
        }
        std::vector<std::string> picked;
    } d;
    d.DoModal();
    EXPECT_EQ(run.finish(), "");
    EXPECT_EQ(d.picked, (std::vector<std::string>{"a \"quoted\" #1", "plain text", "trailing "}));
}

// Without a display the box is printed; OK counts as read, a question as "no".
TEST(NoDisplay, BoxesPrintAndTakeSafeAnswers) {
    std::ostringstream out;
    RunOptions o;
    o.display = Display::None;
    o.out = &out;
    Start(std::move(o));
    SetApplicationName("Uninstall");
    testing::internal::CaptureStderr();
    EXPECT_EQ(AppMessageBox("Done."), IDOK);
    EXPECT_EQ(AppMessageBox("Restart?", true), IDNO);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.str(), "MESSAGE Uninstall | Done.\nMESSAGE Uninstall | Restart?\n");
    EXPECT_NE(err.find("answered no"), std::string::npos);
    Dialog d(kBox);
    testing::internal::CaptureStderr();
    EXPECT_EQ(d.DoModal(), -1);  // no display to show it
    testing::internal::GetCapturedStderr();
}

}  // namespace
}  // namespace ui

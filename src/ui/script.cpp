// The script driver: runs one command per step of the innermost modal loop.
#include <chrono>
#include <deque>
#include <iostream>
#include <sstream>

#include "platform/win_types.h"
#include "ui/app_internal.h"
#include "ui/model.h"
#include "ui/text.h"

namespace ui {
namespace {

// How long `wait` lets timers run when nothing else is left, and how long it
// lets a worker run without any sign of life before the script fails.
constexpr std::uint64_t kWaitVirtualLimitMs = 10 * 60 * 1000;
constexpr int kWaitRealLimitMs = 60 * 1000;

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// Drops a comment: a '#' at the start or after a blank.
std::string StripComment(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] == '#' && (i == 0 || s[i - 1] == ' ' || s[i - 1] == '\t')) return s.substr(0, i);
    return s;
}

// A TEXT argument: a quoted string with the dump's escapes (a comment may
// follow), or the rest of the line as it stands.
bool ParseText(const std::string& rest, std::string* out) {
    if (rest.empty() || rest[0] != '"') {
        *out = Trim(StripComment(rest));
        return !out->empty();
    }
    std::string s;
    std::size_t i = 1;
    for (; i < rest.size() && rest[i] != '"'; ++i) {
        if (rest[i] == '\\' && i + 1 < rest.size()) {
            char c = rest[++i];
            s += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            s += rest[i];
        }
    }
    if (i >= rest.size()) return false;  // no closing quote
    std::string tail = Trim(StripComment(rest.substr(i + 1)));
    if (!tail.empty()) return false;
    *out = s;
    return true;
}

bool ParseId(const std::string& s, int* id) {
    if (s.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0' || v < -1 || v > 0xFFFF) return false;
    *id = static_cast<int>(v);
    return true;
}

class ScriptDriver : public Driver {
public:
    explicit ScriptDriver(const RunOptions& o) : in_(o.script ? *o.script : std::cin) {}

    void attach(ModelBackend& m) override { model_ = &m; }

    void step(ModelBackend& m) override {
        Dialog* top = m.activeModal();
        std::string line;
        for (;;) {
            if (!getLine(&line)) {
                failAt(0, "the script ended while dialog " + std::to_string(top ? top->Template().id : 0) +
                     (top ? " (" + Quoted(AnsiToUtf8(m.caption(*top))) + ")" : std::string()) + " is still open");
                // A failure handler that returns (tests) ends the dialog instead.
                if (top) m.endDialog(*top, IDCANCEL);
                return;
            }
            ++lineNo_;
            line_ = Trim(line);
            if (!Trim(StripComment(line_)).empty()) break;
        }
        run(m, top);
    }

    int messageBox(ModelBackend& m, Dialog*, const std::string& caption, const std::string& text, bool yesNo,
                   bool) override {
        detail::Out() << detail::MessageLine(caption, text) << std::endl;
        // Outside a script command (a refusal at start-up, or one shown while
        // the first dialog initialises, before its modal loop reads the
        // script) the box reads the answers that stand next in it.
        if (answers_.empty() && !inCommand_) readLeadingAnswers();
        if (answers_.empty()) {
            fail("a message box appeared with no answer queued: " + Quoted(AnsiToUtf8(text)));
            return yesNo ? IDNO : IDOK;
        }
        Answer a = answers_.front();
        answers_.pop_front();
        if (yesNo && a.id == IDOK) {
            failAt(a.line, "answer ok was given to a yes/no question: " + Quoted(AnsiToUtf8(text)));
            return IDNO;
        }
        if (!yesNo && a.id != IDOK) {
            failAt(a.line, std::string("answer ") + (a.id == IDYES ? "yes" : "no") +
                               " was given to a box with only OK: " + Quoted(AnsiToUtf8(text)));
            return IDOK;
        }
        return a.id;
    }

    int finish(ModelBackend&) override {
        std::string line;
        while (getLine(&line)) {
            ++lineNo_;
            line_ = Trim(line);
            if (!Trim(StripComment(line_)).empty()) {
                fail("the program ended before this command ran");
                return kScriptFailed;
            }
        }
        if (!answers_.empty()) {
            failAt(answers_.front().line, "this answer was never taken: no message box came");
            return kScriptFailed;
        }
        return failed_ ? kScriptFailed : 0;
    }

private:
    void readLeadingAnswers() {
        std::string line;
        while (getLine(&line)) {
            std::string t = Trim(StripComment(Trim(line)));
            if (!t.empty() && t.compare(0, 7, "answer ") != 0 && t != "answer") {
                pushBack_ = line;
                hasPushBack_ = true;
                return;
            }
            ++lineNo_;
            line_ = Trim(line);
            if (!t.empty()) run(*model_, nullptr);
        }
    }

    bool getLine(std::string* line) {
        if (hasPushBack_) {
            *line = pushBack_;
            hasPushBack_ = false;
            return true;
        }
        return static_cast<bool>(std::getline(in_, *line));
    }

    struct Answer {
        int id;
        int line;
    };

    void fail(const std::string& why) { failAt(lineNo_, why); }
    void failAt(int line, const std::string& why) {
        failed_ = true;
        std::string where = line > 0 ? "line " + std::to_string(line) + ": " : "";
        detail::ScriptFailed(where + why);
    }

    void run(ModelBackend& m, Dialog* top) {
        struct InCommand {
            bool& flag;
            bool saved;
            explicit InCommand(bool& f) : flag(f), saved(f) { flag = true; }
            ~InCommand() { flag = saved; }
        } inCommand(inCommand_);
        std::string cmdLine = line_;
        std::istringstream words(cmdLine);
        std::string cmd;
        words >> cmd;
        std::string rest;
        std::getline(words, rest);
        rest = Trim(rest);
        auto noMore = [&](const std::string& r) { return Trim(StripComment(r)).empty(); };
        if (!top && cmd != "answer") return fail(cmd + " needs an open dialog");
        if (cmd == "click" || cmd == "select" || cmd == "check" || cmd == "uncheck") {
            std::istringstream w(rest);
            std::string idText;
            w >> idText;
            std::string tail;
            std::getline(w, tail);
            tail = Trim(tail);
            int id = 0;
            if (!ParseId(idText, &id)) return fail(cmd + " needs a control id");
            std::string result;
            if (cmd == "click") {
                if (!noMore(tail)) return fail("click takes only a control id");
                result = m.click(*top, id);
            } else {
                std::string text;
                if (!ParseText(tail, &text)) return fail(cmd + " needs a control id and a text");
                text = Utf8ToAnsi(text);
                result = cmd == "select" ? m.select(*top, id, text) : m.checkItem(*top, id, text, cmd == "check");
            }
            if (!result.empty()) fail(cmd + " " + idText + ": " + result);
            return;
        }
        if (cmd == "key") {
            std::string k = Trim(StripComment(rest));
            Key key;
            if (k == "ENTER") key = Key::Enter;
            else if (k == "ESCAPE") key = Key::Escape;
            else if (k == "F1") key = Key::F1;
            else return fail("key takes ENTER, ESCAPE or F1");
            std::string result = m.key(*top, key);
            if (!result.empty()) fail("key " + k + ": " + result);
            return;
        }
        if (cmd == "answer") {
            std::string a = Trim(StripComment(rest));
            int id = a == "yes" ? IDYES : a == "no" ? IDNO : a == "ok" ? IDOK : 0;
            if (id == 0) return fail("answer takes yes, no or ok");
            answers_.push_back(Answer{id, lineNo_});
            return;
        }
        if (cmd == "wait") {
            if (!noMore(rest)) return fail("wait takes no argument");
            return wait(m, *top);
        }
        if (cmd == "dump") {
            if (!noMore(rest)) return fail("dump takes no argument");
            m.runPosted();
            detail::Out() << m.dump(*top) << std::flush;
            return;
        }
        fail("unknown command \"" + cmd + "\"");
    }

    // Runs queued calls, workers and timers until `top` ends, or until nothing
    // is left that could change anything.
    void wait(ModelBackend& m, Dialog& top) {
        int waitLine = lineNo_;
        std::uint64_t start = m.now();
        auto realStart = std::chrono::steady_clock::now();
        auto ended = [&] {
            ModelWindow* w = m.window(top);
            return !w || w->ended;
        };
        while (!ended()) {
            if (m.runPosted()) {
                realStart = std::chrono::steady_clock::now();
                continue;
            }
            if (RunningWorkers() > 0) {
                if (m.waitPosted(10)) continue;
                std::uint64_t due;
                if (m.nextTimerDue(&due)) m.fireNextTimer();
                if (std::chrono::steady_clock::now() - realStart > std::chrono::milliseconds(kWaitRealLimitMs))
                    return failAt(waitLine, "wait: the worker showed no sign of life for " +
                                                std::to_string(kWaitRealLimitMs / 1000) + " s");
                continue;
            }
            std::uint64_t due;
            if (!m.nextTimerDue(&due)) return;  // idle: only the user can act now
            // A timer that never ends the dialog (a blinking label) gets ten
            // minutes of virtual time; then the script goes on.
            if (due > start && due - start > kWaitVirtualLimitMs) return;
            m.fireNextTimer();
        }
    }

    std::istream& in_;
    std::string pushBack_;
    bool hasPushBack_ = false;
    ModelBackend* model_ = nullptr;
    std::deque<Answer> answers_;
    bool inCommand_ = false;   // a script command is running
    int lineNo_ = 0;
    std::string line_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<Driver> MakeScriptDriver(const RunOptions& options) { return std::make_unique<ScriptDriver>(options); }

}  // namespace ui

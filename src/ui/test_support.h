// Helpers for the framework's tests: a scripted run held in strings, a
// desktop and a clock that record what the back end does with them.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/desktop.h"
#include "ui/app.h"
#include "ui/app_internal.h"
#include "ui/model.h"

namespace ui::test {

class RecordingDesktop : public plat::Desktop {
public:
    plat::Hwnd findWindow(const std::string& title) override {
        for (auto& [h, t] : titles)
            if (t == title) return h;
        return 0;
    }
    plat::Err setForegroundWindow(plat::Hwnd) override { return 0; }
    plat::Err bringWindowToTop(plat::Hwnd) override { return 0; }
    plat::Err openIcon(plat::Hwnd) override { return 0; }
    plat::Err createMutex(const std::string&, bool* exists) override {
        *exists = false;
        return 0;
    }
    std::intptr_t shellExecute(const char*, const char*, const char*, const char*, int) override { return 42; }
    plat::Err broadcastWinIniChange(const char*, std::uint32_t) override { return 0; }
    plat::Hwnd registerOwnWindow(const std::string& title) override {
        plat::Hwnd h = ++last;
        titles[h] = title;
        log.push_back("register " + title);
        return h;
    }
    void setOwnWindowTitle(plat::Hwnd w, const std::string& title) override {
        titles[w] = title;
        log.push_back("title " + title);
    }
    void setOwnWindowState(plat::Hwnd w, int show) override { log.push_back("state " + titles[w] + " " + std::to_string(show)); }
    void unregisterOwnWindow(plat::Hwnd w) override {
        log.push_back("unregister " + titles[w]);
        titles.erase(w);
    }

    std::map<plat::Hwnd, std::string> titles;
    std::vector<std::string> log;
    plat::Hwnd last = 0x100;
};

class VirtualClock : public plat::Clock {
public:
    void sleep(std::uint32_t ms) override { now += ms; slept += ms; }
    std::uint64_t tickCount() override { return now; }
    std::uint64_t now = 1000;
    std::uint64_t slept = 0;
};

// A scripted run: Start()s the model back end on construction; a failed
// script is recorded instead of ending the process.
class ScriptRun {
public:
    explicit ScriptRun(const std::string& script, Hooks hooks = {}) : in_(script) {
        RunOptions o;
        o.display = Display::Script;
        o.script = &in_;
        o.out = &out_;
        o.hooks = hooks;
        o.scriptName = "test";
        o.fail = [this](int status) { failStatus = status; };
        testing::internal::CaptureStderr();
        Start(std::move(o));
    }
    ~ScriptRun() {
        if (!captured_) testing::internal::GetCapturedStderr();
    }
    // Ends the run (as the program's Shutdown does) and returns what it wrote on standard error.
    std::string finish() {
        shutdownStatus = Shutdown();
        captured_ = true;
        err_ = testing::internal::GetCapturedStderr();
        return err_;
    }
    std::string out() const { return out_.str(); }
    ModelBackend& model() { return *static_cast<ModelBackend*>(detail::ActiveBackend()); }

    int failStatus = 0;
    int shutdownStatus = 0;

private:
    std::istringstream in_;
    std::ostringstream out_;
    std::string err_;
    bool captured_ = false;
};

}  // namespace ui::test

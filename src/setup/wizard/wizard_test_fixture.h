// For tests: the wizard with its five pages on a simulated machine, played
// by a script, and helpers that read the script's dumps.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/language_text.h"
#include "common/sim_sys_for_tests.h"
#include "common/sys.h"
#include "setup/app/setup_app.h"
#include "ui/message_box.h"
#include "ui/test_support.h"

namespace setup::test {

struct WizardRun {
    int result = 0;        // the wizard's DoModal
    std::string out;       // MESSAGE lines and dumps
    std::string err;
    int failStatus = 0;    // non-zero when the script failed

    // Every dump of the run, in order (from "dialog" to "caption").
    std::vector<std::string> Dumps() const {
        std::vector<std::string> dumps;
        std::istringstream in(out);
        std::string line, current;
        bool inside = false;
        while (std::getline(in, line)) {
            if (line.rfind("dialog ", 0) == 0) {
                inside = true;
                current.clear();
            }
            if (!inside) continue;
            current += line + "\n";
            if (line.rfind("caption ", 0) == 0) {
                dumps.push_back(current);
                inside = false;
            }
        }
        return dumps;
    }
    // The MESSAGE lines, without "MESSAGE Drivanto | ".
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        std::istringstream in(out);
        std::string line;
        const std::string prefix = "MESSAGE Drivanto | ";
        while (std::getline(in, line))
            if (line.rfind(prefix, 0) == 0) messages.push_back(line.substr(prefix.size()));
        return messages;
    }
};

// A control's line in a dump, without its indentation; "" when the dump has
// no such control.
inline std::string ControlLine(const std::string& dump, int id) {
    std::istringstream in(dump);
    std::string line;
    const std::string start = "  " + std::to_string(id) + " ";
    while (std::getline(in, line))
        if (line.rfind(start, 0) == 0) return line.substr(2);
    return "";
}

// The template ids of the pages a dump shows.
inline std::vector<int> ShownPages(const std::string& dump) {
    std::vector<int> pages;
    std::istringstream in(dump);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("page ", 0) == 0) pages.push_back(std::stoi(line.substr(5)));
    return pages;
}

// "133 back=disabled next=enabled &Next >": the page shown and the state of
// Back and Next of one dump.
inline std::string Step(const std::string& dump) {
    std::vector<int> pages = ShownPages(dump);
    std::string back = ControlLine(dump, 1002);
    std::string next = ControlLine(dump, 1);
    auto state = [](const std::string& line) {
        return line.find("\" enabled") != std::string::npos ? std::string("enabled") : std::string("disabled");
    };
    std::size_t open = next.find('"');
    std::size_t close = next.find('"', open + 1);
    std::string text = open == std::string::npos ? "" : next.substr(open + 1, close - open - 1);
    std::string page = pages.empty() ? "none" : std::to_string(pages[0]);
    if (pages.size() > 1) page += "+";
    return page + " back=" + state(back) + " next=" + state(next) + " " + text;
}

class WizardTest : public ::testing::Test {
protected:
    WizardTest() {
        ui::SetApplicationName("Drivanto");
        common::LanguageText::SetProgram(common::TextProgram::Setup);
    }

    // Runs the wizard and its pages on the machine installed as Sys(), with
    // `script` playing the user. `before` runs once the windows exist and the
    // display runs (not yet shown); `after` once the wizard has closed.
    WizardRun Run(const std::string& script, bool showAgreement = false, bool chineseFont = false,
                  const std::function<void(SetupWindows&)>& after = {},
                  const std::function<void(SetupWindows&, ui::test::ScriptRun&)>& before = {}) {
        plat::Platform& platform = common::Sys();
        ui::Hooks hooks;
        hooks.desktop = &platform.desktop();
        hooks.clock = &platform.clock();
        WizardRun run;
        {
            ui::test::ScriptRun script_run(script, hooks);
            {
                SetupWindows windows(showAgreement, chineseFont);
                if (before) before(windows, script_run);
                run.result = windows.Run();
                if (after) after(windows);
            }
            run.err = script_run.finish();
            run.out = script_run.out();
            run.failStatus = script_run.failStatus != 0 ? script_run.failStatus : script_run.shutdownStatus;
        }
        return run;
    }
};

}  // namespace setup::test

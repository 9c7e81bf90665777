// Test support for the built programs (drivanto, uninstall): runs one with
// its command line on machines made with `winsim new`, in a temporary folder,
// and collects its output (standard error joined by the caller's "2>&1") and
// exit status. Header only: the tests that run a built program include it.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace plat::sim {

struct ProgramOutcome {
    int status = -1;
    std::string out;
};

// Runs a shell command, collecting its standard output.
inline ProgramOutcome Shell(const std::string& command) {
    ProgramOutcome run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) run.out.append(buffer.data(), n);
    int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

inline std::string Quote(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// A fixture for one built program. The test program sits beside it in the
// build tree; winsim is built under tools/; the demo medium comes from the
// source tree (DRIVANTO_SOURCE_DIR). Skips when the programs are not built.
class ProgramRunTest : public ::testing::Test {
protected:
    // `program`: the built program's file name; `tempPrefix`: names the
    // temporary folder under /tmp.
    ProgramRunTest(const char* program, const char* tempPrefix) : programName_(program), tempPrefix_(tempPrefix) {}

    void SetUp() override {
        std::filesystem::path here = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        program_ = here / programName_;
        winsim_ = here / ".." / ".." / "tools" / "winsim" / "winsim";
        if (!std::filesystem::exists(program_) || !std::filesystem::exists(winsim_)) {
            GTEST_SKIP() << "build the targets " << programName_ << " and winsim to run this test";
        }
        const char* source = std::getenv("DRIVANTO_SOURCE_DIR");
        ASSERT_NE(source, nullptr) << "DRIVANTO_SOURCE_DIR is not set";
        demo_ = std::filesystem::path(source) / "media" / "demo";
        std::string pattern = "/tmp/" + tempPrefix_ + "-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        if (!dir_.empty()) std::filesystem::remove_all(dir_);
    }

    // `winsim new MACHINE --os OS OPTIONS`; a failure fails the test.
    std::filesystem::path MakeMachine(const std::filesystem::path& machine, const std::string& os,
                                      const std::string& options = "") {
        ProgramOutcome made = Shell(Quote(winsim_) + " new " + Quote(machine) + " --os " + os +
                                    (options.empty() ? "" : " " + options) + " 2>&1");
        EXPECT_EQ(made.status, 0) << made.out;
        return machine;
    }

    // The program on MACHINE with MEDIUM, without a script.
    ProgramOutcome RunProgram(const std::filesystem::path& machine, const std::filesystem::path& medium) {
        return Shell(Quote(program_) + " --machine " + Quote(machine) + " --medium " + Quote(medium) + " 2>&1");
    }
    // The same with --script: `script` is written to the temporary folder
    // as `scriptFile`.
    ProgramOutcome RunScripted(const std::filesystem::path& machine, const std::filesystem::path& medium,
                               const std::string& script, const std::string& scriptFile = "script.txt") {
        std::filesystem::path file = dir_ / scriptFile;
        std::ofstream(file, std::ios::binary) << script;
        return Shell(Quote(program_) + " --machine " + Quote(machine) + " --medium " + Quote(medium) +
                     " --script " + Quote(file) + " 2>&1");
    }

    // `winsim show MACHINE`.
    std::string Show(const std::filesystem::path& machine) { return Shell(Quote(winsim_) + " show " + Quote(machine)).out; }

    std::string programName_, tempPrefix_;
    std::filesystem::path program_, winsim_, demo_, dir_;
};

}  // namespace plat::sim

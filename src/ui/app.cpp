#include "ui/app.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>
#include <thread>

#include "ui/app_internal.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace ui {
namespace {

struct State {
    // Shared with worker threads, which may still post while a test starts
    // another display.
    std::shared_ptr<Backend> backend;
    std::mutex backendLock;
    RunOptions options;
    std::unique_ptr<std::ifstream> scriptFile;
    std::thread::id uiThread = std::this_thread::get_id();
    std::atomic<int> workers{0};
    std::atomic<Dialog*> mainWindow{nullptr};
};

State& S() {
    static State* s = new State();  // lives until the process ends; workers may outlive main
    return *s;
}

void SetBackend(std::unique_ptr<Backend> b) {
    std::lock_guard<std::mutex> g(S().backendLock);
    S().backend = std::move(b);
}

std::shared_ptr<Backend> SharedBackend() {
    std::lock_guard<std::mutex> g(S().backendLock);
    return S().backend;
}

std::string BaseNameWithoutExtension(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

}  // namespace

namespace detail {

Backend* ActiveBackend() { return S().backend.get(); }
const RunOptions& Options() { return S().options; }
std::ostream& Out() { return S().options.out ? *S().options.out : std::cout; }

void ScriptFailed(const std::string& message) {
    Out().flush();
    std::cerr << S().options.scriptName << ": " << message << std::endl;
    if (S().options.fail) {
        S().options.fail(kScriptFailed);
        return;
    }
    std::fflush(stdout);
    std::_Exit(kScriptFailed);
}

std::string MessageLine(const std::string& caption, const std::string& text) {
    return "MESSAGE " + OneLine(AnsiToUtf8(caption)) + " | " + OneLine(AnsiToUtf8(text));
}

}  // namespace detail

int Start(RunOptions options) {
    State& s = S();
    {
        std::lock_guard<std::mutex> g(s.backendLock);
        s.backend.reset();
    }
    s.uiThread = std::this_thread::get_id();
    s.options = std::move(options);
    Display d = s.options.display;
    if (d == Display::Auto) {
#ifdef _WIN32
        d = Display::Native;
#else
        d = Display::Terminal;
#endif
    }
    s.options.display = d;
    switch (d) {
    case Display::Script:
    case Display::Terminal:
        SetBackend(detail::MakeModelBackend(s.options));
        if (!s.backend) {
            std::cerr << "no terminal display in this build" << std::endl;
            return 2;
        }
        break;
    case Display::Native:
        SetBackend(detail::MakeNativeBackend());
        if (!s.backend) {
            std::cerr << "no native display in this build" << std::endl;
            return 2;
        }
        break;
    case Display::None:
    case Display::Auto:
        break;
    }
    return 0;
}

int Init(int& argc, char** argv, const Hooks& hooks) {
    if (ApplicationName().empty() && argc > 0 && argv[0]) SetApplicationName(BaseNameWithoutExtension(argv[0]));
    RunOptions options;
    options.hooks = hooks;
    int kept = argc > 0 ? 1 : 0;
    for (int i = kept; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--script") {
            if (i + 1 >= argc) {
                std::cerr << "--script needs a file name (or - for standard input)" << std::endl;
                return 2;
            }
            std::string file = argv[++i];
            options.display = Display::Script;
            if (file == "-") {
                options.script = &std::cin;
                options.scriptName = "script (standard input)";
            } else {
                auto in = std::make_unique<std::ifstream>(file, std::ios::binary);
                if (!*in) {
                    std::cerr << "cannot read the script " << file << std::endl;
                    return 2;
                }
                options.scriptName = file;
                options.script = in.get();
                S().scriptFile = std::move(in);
            }
            continue;
        }
        argv[kept++] = argv[i];
    }
    argc = kept;
    argv[kept] = nullptr;  // argv[argc] was null; kept <= argc
    return Start(std::move(options));
}

void SetMainWindow(Dialog* dialog) { S().mainWindow = dialog; }
Dialog* MainWindow() { return S().mainWindow.load(); }

bool OnUiThread() { return std::this_thread::get_id() == S().uiThread; }

void CallOnUiThread(const std::function<void()>& fn) {
    if (OnUiThread()) {
        fn();
        return;
    }
    std::shared_ptr<Backend> b = SharedBackend();
    if (!b) {
        fn();
        return;
    }
    struct Done {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
    };
    auto done = std::make_shared<Done>();
    b->post([&fn, done] {
        fn();
        std::lock_guard<std::mutex> g(done->m);
        done->done = true;
        done->cv.notify_all();
    });
    std::unique_lock<std::mutex> g(done->m);
    done->cv.wait(g, [&] { return done->done; });
}

void StartWorker(std::function<void()> fn) {
    S().workers.fetch_add(1);
    std::thread([fn = std::move(fn)] {
        fn();
        S().workers.fetch_sub(1);
        // Wake a waiting modal loop so that it sees the worker has ended.
        if (std::shared_ptr<Backend> b = SharedBackend()) b->post([] {});
    }).detach();
}

int RunningWorkers() { return S().workers.load(); }

int Shutdown() {
    std::shared_ptr<Backend> b = SharedBackend();
    int status = b ? b->finish() : 0;
    // Nothing of the run may outlive it: a later message box in the same
    // process (a test running the program twice) must not write to the
    // finished run's streams.
    {
        std::lock_guard<std::mutex> g(S().backendLock);
        S().backend.reset();
    }
    S().options = RunOptions{};
    return status;
}

}  // namespace ui

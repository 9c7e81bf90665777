// The in-memory back end: every window and control as plain state. A driver
// feeds it user actions: the script runner, or the terminal front end that
// draws it. Tests read the state directly.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win_types.h"
#include "ui/app.h"
#include "ui/backend.h"

namespace ui {

struct ModelItem {
    std::string text;
    bool checked = false;
};

struct ModelControl {
    int id = kNoId;
    Kind kind = Kind::Static;
    Rect rect;
    std::uint32_t style = 0;
    std::string text;
    bool enabled = true;
    bool visible = true;
    int check = 0;
    std::vector<ModelItem> items;
    int sel = -1;
    std::uint32_t exStyle = 0;
    int rangeLow = 0, rangeHigh = 100, pos = 0;
    std::string tooltip;
    Font font;
    bool hasFont = false;
    Color textColor = kDefaultColor, backColor = kDefaultColor;
    int scrollTop = 0;  // first line shown (the terminal scrolls long texts and lists)

    bool focusable() const;
};

// What an OnPaint drew, for the terminal and for dumps.
struct Painted {
    enum class What { Text, Bitmap, Icon } what = What::Text;
    Rect rect;
    std::string text;
    TextStyle style;
    int id = 0;  // the control of a bitmap, the icon resource
    int width = 0, height = 0;
};

struct ModelWindow {
    Dialog* dialog = nullptr;
    Dialog* owner = nullptr;  // the window a modal dialog or a page belongs to
    bool child = false;
    std::string caption;
    Rect rect;  // children: in the parent's units; top-level: size only
    bool visible = false;
    bool minimized = false;
    bool modal = false;
    bool ended = false;
    int result = 0;
    int icon = 0;
    std::vector<std::pair<int, std::string>> systemMenu;
    std::vector<ModelControl> controls;
    plat::Hwnd hwnd = 0;
    Font font;
    bool hasFont = false;

    ModelControl* find(int id);
};

class ModelBackend;

// The source of user actions.
class Driver {
public:
    virtual ~Driver() = default;
    virtual void attach(ModelBackend& model) {}
    // The innermost modal loop has run everything queued: take one user
    // action, or wait a little for one.
    virtual void step(ModelBackend& model) = 0;
    virtual int messageBox(ModelBackend& model, Dialog* owner, const std::string& caption,
                           const std::string& text, bool yesNo, bool icon) = 0;
    virtual int finish(ModelBackend& model) { return 0; }
    // A progress bar moved; a display may redraw even inside a handler.
    virtual void progressed(ModelBackend& model) {}
};

enum class Key { Enter, Escape, F1 };

class ModelBackend : public Backend {
public:
    ModelBackend(Hooks hooks, bool virtualTime, std::unique_ptr<Driver> driver);
    ~ModelBackend() override;

    // Backend.
    int runModal(Dialog& d, Dialog* owner) override;
    bool createChild(Dialog& d, Dialog& parent) override;
    void destroy(Dialog& d) override;
    void endDialog(Dialog& d, int result) override;
    void moveTo(Dialog& d, const Rect& r) override;
    void showWindow(Dialog& d, int show) override;
    bool isVisible(Dialog& d) override;
    bool isIconic(Dialog& d) override;
    void setCaption(Dialog& d, const std::string& text) override;
    std::string caption(Dialog& d) override;
    void setIcon(Dialog& d, int iconId) override;
    void appendSystemMenu(Dialog& d, int commandId, const std::string& text) override;
    void invalidate(Dialog& d) override;
    void setTimer(Dialog& d, int timerId, unsigned ms) override;
    void killTimer(Dialog& d, int timerId) override;
    OpResult control(Dialog& d, int id, Op op, const OpArgs& args) override;
    int messageBox(Dialog* owner, const std::string& caption, const std::string& text, bool yesNo,
                   bool icon) override;
    void post(std::function<void()> fn) override;
    int finish() override;

    // State, for drivers and tests.
    ModelWindow* window(Dialog& d);
    Dialog* activeModal();                      // the innermost running modal dialog
    std::vector<Dialog*> visiblePages(Dialog& top);  // its shown child pages, in creation order
    // The control a user reaches by id in the active dialog: the dialog's own
    // first, then its visible pages'. Sets *where to the dialog that holds it.
    ModelControl* reach(Dialog& top, int id, Dialog** where);

    // User actions on the active dialog. Each returns "" or why it cannot be done.
    std::string click(Dialog& top, int id);
    std::string select(Dialog& top, int id, const std::string& text);
    std::string checkItem(Dialog& top, int id, const std::string& text, bool on);
    std::string key(Dialog& top, Key k, Dialog* focusDialog = nullptr);
    // The same actions by position, for the terminal.
    void pressControl(Dialog& holder, ModelControl& c);
    void selectIndex(Dialog& holder, ModelControl& c, int index);
    void toggleItem(Dialog& holder, ModelControl& c, int index);
    void systemCommand(Dialog& top, int command);

    // Work that is not the user's.
    bool runPosted();                 // runs every queued call; true when any ran
    bool waitPosted(int realMs);      // waits for a queued call; true when one came
    std::uint64_t now();              // milliseconds (virtual or real)
    // The earliest timer's due time; false when no timer is set.
    bool nextTimerDue(std::uint64_t* due);
    // Advances the time to the earliest timer and fires it; false without timers.
    bool fireNextTimer();
    // Fires every timer that is due now (real time).
    void fireDueTimers();
    std::uint64_t timerEvents() const { return timerEvents_; }

    std::vector<Painted> paint(Dialog& d);
    std::string dump(Dialog& top);

    // The control with the keyboard focus in the active dialog (a dialog and
    // an id). Each top-level window keeps its own.
    std::pair<Dialog*, int> focus();
    void setFocus(Dialog* d, int id);

    Driver& driver() { return *driver_; }
    const Hooks& hooks() const { return hooks_; }

private:
    struct Timer {
        Dialog* dialog;
        int id;
        unsigned period;
        std::uint64_t due;
    };

    ModelWindow& make(Dialog& d, Dialog* owner, bool child);
    std::vector<Dialog*> pagesOf(Dialog& d);
    void advanceTo(std::uint64_t t);
    void notify(Dialog& holder, int id, Notify code);
    void dumpWindow(std::string& out, Dialog& d, const char* what);

    Hooks hooks_;
    bool virtualTime_;
    std::uint64_t virtualNow_ = 0;
    std::unique_ptr<Driver> driver_;
    std::vector<Dialog*> allWindows_;  // every window, in creation order
    std::vector<Dialog*> modalStack_;
    std::vector<Timer> timers_;
    std::uint64_t timerEvents_ = 0;
    std::map<Dialog*, std::pair<Dialog*, int>> focus_;  // by top-level window

    std::mutex postLock_;
    std::condition_variable postCv_;
    std::deque<std::function<void()>> posted_;
};

// The drivers.
std::unique_ptr<Driver> MakeScriptDriver(const RunOptions& options);
std::unique_ptr<Driver> MakeTerminalDriver();  // null where curses is not built in

}  // namespace ui

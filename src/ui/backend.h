// The interface every display back end implements (the in-memory model that
// scripts and the terminal drive, and real Win32 windows). Internal to the
// framework: programs reach it only through Dialog and the message boxes.
#pragma once

#include <functional>
#include <string>

#include "ui/dialog.h"

namespace ui {

// Control operations, one entry point for all of them.
enum class Op : std::uint8_t {
    Exists, GetText, SetText, Enable, IsEnabled, Show, IsVisible, Focus, GetRect,
    SetCheck, GetCheck,
    AddString, InsertString, DeleteString, ResetContent, GetCount, GetCurSel, SetCurSel,
    GetItemText, FindPrefix, FindExact,
    SetItemCheck, GetItemCheck, SetExStyle, GetExStyle,
    SetRange, SetPos, GetPos,
    AddTooltip, SetFont, SetColors, Invalidate,
};

struct OpArgs {
    int a = 0;
    int b = 0;
    std::string text;
    const Font* font = nullptr;
};

struct OpResult {
    int value = 0;
    std::string text;
    Rect rect;
};

class Backend {
public:
    virtual ~Backend() = default;

    virtual int runModal(Dialog& d, Dialog* owner) = 0;
    virtual bool createChild(Dialog& d, Dialog& parent) = 0;
    virtual void destroy(Dialog& d) = 0;
    virtual void endDialog(Dialog& d, int result) = 0;
    virtual void moveTo(Dialog& d, const Rect& r) = 0;
    virtual void showWindow(Dialog& d, int show) = 0;
    virtual bool isVisible(Dialog& d) = 0;
    virtual bool isIconic(Dialog& d) = 0;
    virtual void setCaption(Dialog& d, const std::string& text) = 0;
    virtual std::string caption(Dialog& d) = 0;
    virtual void setIcon(Dialog& d, int iconId) = 0;
    virtual void appendSystemMenu(Dialog& d, int commandId, const std::string& text) = 0;
    virtual void invalidate(Dialog& d) = 0;
    virtual void setTimer(Dialog& d, int timerId, unsigned ms) = 0;
    virtual void killTimer(Dialog& d, int timerId) = 0;
    virtual OpResult control(Dialog& d, int id, Op op, const OpArgs& args) = 0;

    // A message box; `owner` may be null. Returns IDOK, IDYES or IDNO.
    virtual int messageBox(Dialog* owner, const std::string& caption, const std::string& text,
                           bool yesNo, bool icon) = 0;

    // Queues `fn` for the user-interface thread and wakes it (the caller waits).
    virtual void post(std::function<void()> fn) = 0;

    // The program is done with the display; 0, or kScriptFailed when a
    // script still holds commands.
    virtual int finish() { return 0; }
};

}  // namespace ui

#include "ui/message_box.h"

#include <iostream>
#include <mutex>

#include "platform/win_types.h"
#include "ui/app.h"
#include "ui/app_internal.h"

namespace ui {
namespace {

std::mutex nameLock;
std::string& Name() {
    static std::string name;
    return name;
}

// Without a display nobody can answer: the box is printed, OK boxes count as
// read and questions as answered "no" (the answer that changes nothing: no
// restart, no changed printer id).
int PrintedBox(const std::string& caption, const std::string& text, bool yesNo) {
    detail::Out() << detail::MessageLine(caption, text) << std::endl;
    if (!yesNo) return IDOK;
    std::cerr << "(no display: the question is answered no)" << std::endl;
    return IDNO;
}

int Show(Dialog* owner, const std::string& text, bool yesNo, bool icon) {
    std::string caption = ApplicationName();
    Backend* b = detail::ActiveBackend();
    if (!b) return PrintedBox(caption, text, yesNo);
    int result = IDNO;
    CallOnUiThread([&] { result = b->messageBox(owner, caption, text, yesNo, icon); });
    return result;
}

}  // namespace

void SetApplicationName(const std::string& name) {
    std::lock_guard<std::mutex> g(nameLock);
    Name() = name;
}

const std::string& ApplicationName() {
    std::lock_guard<std::mutex> g(nameLock);
    return Name();
}

int AppMessageBox(const std::string& text, bool yesNo) { return Show(nullptr, text, yesNo, true); }

int WindowMessageBox(Dialog* owner, const std::string& text) { return Show(owner, text, false, false); }

}  // namespace ui

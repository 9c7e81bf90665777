// What the framework's parts share behind app.h.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "ui/app.h"
#include "ui/backend.h"

namespace ui::detail {

Backend* ActiveBackend();
const RunOptions& Options();
std::ostream& Out();

// A script cannot go on: the message on standard error, then the failure
// handler with kScriptFailed. Does not return when the default handler ends
// the process.
void ScriptFailed(const std::string& message);

// The line a message box leaves in scripted runs and without a display.
std::string MessageLine(const std::string& caption, const std::string& text);

// Back-end factories (each compiled only where it can work).
std::unique_ptr<Backend> MakeModelBackend(const RunOptions& options);
std::unique_ptr<Backend> MakeNativeBackend();  // null where there is none

}  // namespace ui::detail

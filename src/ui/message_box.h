// Message boxes, in the two forms the programs use: the application form
// (owner: the program's active window; caption: the application name; an
// exclamation icon; OK or Yes/No) and the window form (owner: a given
// window; caption: the application name; OK; no icon).
//
// In scripted runs, and before any display exists, each box is written to
// standard output as one line "MESSAGE <caption> | <text>" (UTF-8, CR LF
// shown as \n) and takes the next queued answer.
#pragma once

#include <string>

namespace ui {

class Dialog;

// The executable's file name without its extension ("Drivanto").
void SetApplicationName(const std::string& name);
const std::string& ApplicationName();

// Returns IDOK for an OK box, IDYES (6) or IDNO (7) for a question.
int AppMessageBox(const std::string& text, bool yesNo = false);
int WindowMessageBox(Dialog* owner, const std::string& text);

}  // namespace ui

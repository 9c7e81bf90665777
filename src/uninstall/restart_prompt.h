// The question after a run that removed something: restart Windows now?
#pragma once

#include "ui/dialog.h"

namespace uninstall {

class RestartPromptDlg : public ui::Dialog {
public:
    RestartPromptDlg();
    bool OnInitDialog() override;

    int chineseFont = 0;   // 1 when DEVICENAME/LANGUAGE is 0
};

// Asks for the restart of Windows: on the NT family (every class but 0)
// only after the shutdown privilege was enabled; on class 0 at once.
// Failures are silent.
void RequestRestart(int osClass);

}  // namespace uninstall

// The sample program: ui_sample [--script FILE]
#include <iostream>

#include "ui/app.h"
#include "ui/message_box.h"
#include "ui/text.h"
#include "ui/sample/sample_dialogs.h"

int main(int argc, char** argv) {
    if (int status = ui::Init(argc, argv)) return status;
    ui::SetApplicationName("Sample");
    if (argc > 1 && std::string(argv[1]) == "--refuse") {
        // A start-up refusal: a box before any dialog.
        ui::AppMessageBox("Refused before the dialog.");
        return ui::Shutdown();
    }
    sample::MainDlg dlg;
    int result = dlg.DoModal();
    std::string summary = sample::Summary(dlg, result);
    int status = ui::Shutdown();
    std::cout << ui::AnsiToUtf8(summary) << std::endl;
    return status;
}

// What the uninstaller's parts share for the whole run: the Windows class,
// the path of the uninstall list, how printer drivers are deleted, and the
// small helpers every part uses (log texts, pauses).
#pragma once

#include <string>

namespace uninstall {

// The Windows class of this run: -1 neither 9x nor NT, 0 Windows 95/98/Me and
// every NT version not listed, 1 NT 4.0, 2 2000, 3 XP, 4 Server 2003,
// 5 Vista, 6 Server 2008, 7 Windows 7.
int ClassifyWindows();

// Whether the classification of this machine disables the USB check box:
// Windows 98 and Me (not 95) and NT 4.0.
bool ClassDisablesUsb();

// The section suffix of an uninstall-list component section for a class
// (".98", ".NT", ".2K" for 2000 and XP, ".2003", ".Vista", ".2008",
// ".Win7"; "" outside 0..7).
const char* SectionSuffix(int osClass);

// How a printer's driver is deleted, as the start-up found winspool.drv.
enum class DriverDeletion {
    Ex,       // DeletePrinterDriverExA is exported
    Plain,    // the library loaded without it, or did not load at all
};

struct UninstallState {
    int osClass = 0;
    std::string listPath;   // the uninstall list, "" until located
    DriverDeletion driverDeletion = DriverDeletion::Plain;
};

// The process-wide state (one dialog per process).
UninstallState& State();

// A language text with its "%s" filled: only the first "%s" takes the name;
// any other '%' stays as it stands (the texts come from a file anybody can
// edit, so they are never used as a format).
std::string FormatText(const std::string& text, const std::string& name);

// [Message] <key>, with the name filled in when given.
std::string MessageText(const char* key, const std::string& name = "");

// A pause on the machine's clock.
void Pause(unsigned ms);

}  // namespace uninstall

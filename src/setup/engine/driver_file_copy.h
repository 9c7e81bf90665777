// Putting files on the machine: the driver's own files, the monitor and
// processor DLLs and a few system DLLs from the medium's W32 folder, and the
// generic Unidrv files from the machine's driver cache or driver store.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace setup {

// Destination kinds; the numbers are the codes callers pass.
enum DestinationKind : int {
    DriverDir = 66000,          // the printer-driver directory (created if missing)
    ProcessorDir = 66001,       // the print-processor directory (created if missing)
    SystemDir = 66002,          // the system directory
    SystemDirIfAbsent = 66003,  // the system directory; a file already there is kept
    WbemDirIfAbsent = 66004,    // system32\wbem (created); a file already there is kept
    DriverDir3 = 999,           // the folder "3" of the printer-driver directory (created)
};

// Results of CopyDriverFile.
enum CopyResult : int {
    kCopyFailed = 0,    // failed (text in resultText), or nothing to copy (no text)
    kCopyDone = 1,      // the file is in place
    kCopyDenied = 5,    // ERROR_ACCESS_DENIED on the destination; no text
    kCopyInUse = 32,    // ERROR_SHARING_VIOLATION on the destination; no text
};

// Copies the file `name` (no path; upper-cased in place) to the destination
// of `kind`. With `nPrefix` the destination name is "n" + name, for a DLL
// that the spooler holds open; that name may be of any length. Failures
// replace resultText with their text.
int CopyDriverFile(char* name, int kind, int osClass, bool nPrefix, std::string& resultText);

// The text of a failed copy: IDS_ERR_COPYFIEL, and when Windows describes
// `err`, the file name, a line break, the description and IDS_ERR_COPYFIEL1.
std::string CopyFailureText(const std::string& fileName, plat::Err err);

// Unpacks the six Unidrv files of every cabinet in the driver cache into the
// temporary folder. True when the last cabinet was iterated without error.
bool ExtractSystemCabinets();

// The system files that the driver relies on besides its own: ICONLIB.DLL
// and UNIDRV.DLL on Windows 98/Me, the Unidrv data files on 2000 and later
// when the model uses the system's universal driver (ddkFlag).
void EnsureSystemDriverFiles(int osClass, bool ddkFlag, std::string& resultText);

// `dir` and `name` joined by one backslash (a drive root "D:\\" already ends
// in one).
std::string JoinPath(const std::string& dir, const std::string& name);

// Whether `path` names an existing file (not a folder).
bool FileExists(const std::string& path);

// The driver-cache extraction runs once per program run; tests start a new
// run with this.
void ResetCabinetState();

}  // namespace setup

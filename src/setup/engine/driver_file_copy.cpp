#include "setup/engine/driver_file_copy.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "common/sys.h"
#include "setup/engine/engine_text.h"

namespace setup {
namespace {

// Buffer sizes the directory calls are made with.
constexpr std::uint32_t kDirSize = 256;
constexpr std::uint32_t kPathSize = 260;

// The driver-cache extraction runs at most once per program run; later
// calls rely on the files it left in the temporary folder.
bool g_cabinetPending = true;
std::vector<std::string> g_cabinets;

// The files the extraction keeps, as the cabinets name them.
const char* const kUnidrvFiles[] = {"unidrvui.dll", "unidrv.dll",   "unires.dll",
                                    "unidrv.hlp",   "stdnames.gpd", "ttfsub.gpd"};

plat::Files& Fs() { return common::Sys().files(); }
plat::Spooler& Spool() { return common::Sys().spooler(); }

bool DriverDirectory(std::uint32_t size, std::string* dir) {
    return Spool().getPrinterDriverDirectory(nullptr, nullptr, 1, size, dir) == ERROR_SUCCESS;
}

// The generic Unidrv files that the drivers built on the universal driver
// depend on.
bool IsUnidrvFamily(const std::string& upperName) {
    for (const char* part : {"UNIDRV", "STDNAMES", "TTFSUB", "UNIRES"}) {
        if (upperName.find(part) != std::string::npos) return true;
    }
    return false;
}

int ResultOfCopyError(plat::Err err) {
    if (err == ERROR_SHARING_VIOLATION) return kCopyInUse;
    if (err == ERROR_ACCESS_DENIED) return kCopyDenied;
    return kCopyFailed;
}

enum class Route { Done, FallBackToMedium };

// 2000, XP and 2003: the Unidrv files come from the driver cache cabinets,
// unpacked once per run into the temporary folder.
Route CopyUnidrvFromCache(const std::string& name, std::string& resultText, int* result) {
    std::string driverDir;
    if (!DriverDirectory(kDirSize, &driverDir)) {
        resultText = MessageText("IDS_ERR_GETDRIVERDIR");
        *result = kCopyFailed;
        return Route::Done;
    }
    if (FileExists(JoinPath(driverDir, name))) {
        *result = kCopyDone;
        return Route::Done;
    }
    if (g_cabinetPending) {
        g_cabinetPending = false;
        if (!ExtractSystemCabinets()) return Route::FallBackToMedium;
    }
    std::string tempDir;
    if (Fs().getTempPath(kPathSize, &tempDir) != ERROR_SUCCESS) return Route::FallBackToMedium;
    if (!DriverDirectory(kPathSize, &driverDir)) {
        resultText = MessageText("IDS_ERR_GETDRIVERDIR");
        *result = kCopyFailed;
        return Route::Done;
    }
    if (Fs().copyFile(JoinPath(tempDir, name), JoinPath(driverDir, name), false) !=
        ERROR_SUCCESS) {
        return Route::FallBackToMedium;
    }
    *result = kCopyDone;
    return Route::Done;
}

// Vista and later: the Unidrv files come from the ntprint package of the
// driver store; there is no fallback to the medium.
int CopyUnidrvFromStore(const std::string& name, std::string& resultText) {
    std::string driverDir;
    if (!DriverDirectory(kDirSize, &driverDir)) {
        resultText = MessageText("IDS_ERR_GETDRIVERDIR");
        return kCopyFailed;
    }
    std::string destination = JoinPath(driverDir, name);
    if (FileExists(destination)) return kCopyDone;

    std::string windowsDir;
    Fs().getWindowsDirectory(kDirSize, &windowsDir);
    std::string repository = JoinPath(windowsDir, "System32\\DriverStore\\FileRepository");
    plat::Handle find = 0;
    plat::FindData found;
    plat::Err err = Fs().findFirstFile(JoinPath(repository, "ntprint*"), &find, &found);
    if (err != ERROR_SUCCESS) {
        resultText = "Couldn't find system files.";
        std::string description;
        if (SystemErrorText(err, &description)) resultText += "\n" + description;
        return kCopyFailed;
    }
    std::string source = JoinPath(JoinPath(repository, found.fileName), "I386\\" + name);
    err = Fs().copyFile(source, destination, false);
    if (err == ERROR_SUCCESS) {
        if (Fs().findClose(find) != ERROR_SUCCESS) {
            resultText = "Couldn't close search handle.";
            return kCopyFailed;
        }
        return kCopyDone;
    }
    Fs().findClose(find);
    int result = ResultOfCopyError(err);
    if (result != kCopyFailed) return result;
    resultText = MessageText("IDS_ERR_COPYFIEL") + name;
    std::string description;
    if (SystemErrorText(err, &description)) resultText += "\n" + description + source;
    return kCopyFailed;
}

// The destination folder of `kind`. Returns -1 when the copy goes on into
// *dir, or the final result (the file is kept, or the folder or kind failed).
int DestinationDirectory(int kind, int osClass, const std::string& name, std::string* dir,
                         std::string& resultText) {
    switch (kind) {
    case DriverDir:
    case DriverDir3:
        if (!DriverDirectory(kDirSize, dir)) {
            resultText = MessageText("IDS_ERR_GETDRIVERDIR");
            return kCopyFailed;
        }
        Fs().createDirectory(*dir);
        if (kind == DriverDir3) {
            *dir = JoinPath(*dir, "3");
            Fs().createDirectory(*dir);
        }
        return -1;
    case ProcessorDir:
        if (Spool().getPrintProcessorDirectory(nullptr, nullptr, 1, kDirSize, dir) !=
            ERROR_SUCCESS) {
            resultText = MessageText("IDS_ERR_GETPRODIR");
            return kCopyFailed;
        }
        Fs().createDirectory(*dir);
        return -1;
    case SystemDir:
    case SystemDirIfAbsent:
    case WbemDirIfAbsent: {
        if (Fs().getSystemDirectory(kDirSize, dir) != ERROR_SUCCESS) {
            resultText = MessageText("IDS_ERR_GETSYSDIR");
            return kCopyFailed;
        }
        bool inSystem = FileExists(JoinPath(*dir, name));
        if (kind == SystemDirIfAbsent && inSystem) return kCopyDone;
        if (kind == WbemDirIfAbsent) {
            if (osClass >= 5 && osClass <= 7 && inSystem) return kCopyDone;
            *dir = JoinPath(*dir, "wbem");
            Fs().createDirectory(*dir);
            if (FileExists(JoinPath(*dir, name))) return kCopyDone;
        }
        return -1;
    }
    default:
        resultText = MessageText("IDS_ERR_DIRTYPE");
        return kCopyFailed;
    }
}

// Every other file: from the medium's W32 folder.
int CopyFromMedium(const std::string& name, int kind, int osClass, bool nPrefix,
                   std::string& resultText) {
    // "0" is the configuration's value for a file that is not there.
    if (name.empty() || name[0] == '0') return kCopyFailed;

    std::string dir;
    int early = DestinationDirectory(kind, osClass, name, &dir, resultText);
    if (early >= 0) return early;

    std::string currentDir;
    if (Fs().getCurrentDirectory(kDirSize, &currentDir) != ERROR_SUCCESS) {
        resultText = MessageText("IDS_ERR_GETCURDIR");
        return kCopyFailed;
    }
    std::string source = JoinPath(currentDir, "W32\\" + name);
    std::string targetName = nPrefix ? "n" + name : name;
    std::string destination = JoinPath(dir, targetName);

    // A read-only, hidden or system file is overwritten like any other.
    Fs().setFileAttributes(destination, FILE_ATTRIBUTE_ARCHIVE);
    plat::Err err = Fs().copyFile(source, destination, false);
    if (err == ERROR_SUCCESS) return kCopyDone;
    int result = ResultOfCopyError(err);
    if (result == kCopyFailed) resultText = CopyFailureText(targetName, err);
    return result;
}

}  // namespace

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir.back() == '\\') return dir + name;
    return dir + "\\" + name;
}

bool FileExists(const std::string& path) {
    std::uint32_t attributes = 0;
    return Fs().getFileAttributes(path, &attributes) == ERROR_SUCCESS &&
           attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string CopyFailureText(const std::string& fileName, plat::Err err) {
    std::string text = MessageText("IDS_ERR_COPYFIEL");
    std::string description;
    if (SystemErrorText(err, &description)) {
        text += fileName + "\n" + description + MessageText("IDS_ERR_COPYFIEL1");
    }
    return text;
}

int CopyDriverFile(char* name, int kind, int osClass, bool nPrefix, std::string& resultText) {
    if (!name) return kCopyFailed;
    for (char* c = name; *c; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    std::string upper = name;

    if (IsUnidrvFamily(upper)) {
        if (osClass >= 2 && osClass <= 4) {
            int result = kCopyFailed;
            if (CopyUnidrvFromCache(upper, resultText, &result) == Route::Done) return result;
            return CopyFromMedium(upper, kind, osClass, false, resultText);
        }
        if (osClass >= 5 && osClass <= 7) return CopyUnidrvFromStore(upper, resultText);
    }
    return CopyFromMedium(upper, kind, osClass, nPrefix, resultText);
}

bool ExtractSystemCabinets() {
    std::string windowsDir;
    if (Fs().getWindowsDirectory(kDirSize, &windowsDir) != ERROR_SUCCESS) return false;
    std::string cacheDir = JoinPath(windowsDir, "Driver Cache\\i386\\");

    plat::Handle find = 0;
    plat::FindData found;
    if (Fs().findFirstFile(cacheDir + "*.cab", &find, &found) == ERROR_SUCCESS) {
        do {
            g_cabinets.push_back(found.fileName);
        } while (Fs().findNextFile(find, &found) == ERROR_SUCCESS);
        Fs().findClose(find);
    }

    bool lastOk = false;
    for (const std::string& cabinet : g_cabinets) {
        std::string tempDir;
        if (Fs().getTempPath(kPathSize, &tempDir) != ERROR_SUCCESS) {
            lastOk = false;
            continue;
        }
        auto onFile = [&tempDir](const std::string& inCabinet, std::uint32_t,
                                 std::string* target) {
            for (const char* wanted : kUnidrvFiles) {
                if (inCabinet == wanted) {
                    *target = tempDir + inCabinet;
                    return plat::CabFileAction::Copy;
                }
            }
            return plat::CabFileAction::Skip;
        };
        lastOk = common::Sys().cabinets().iterateCabinet(cacheDir + cabinet, onFile) ==
                 ERROR_SUCCESS;
    }
    return lastOk;
}

void EnsureSystemDriverFiles(int osClass, bool ddkFlag, std::string& resultText) {
    if (osClass == 0) {
        char iconLib[] = "ICONLIB.DLL";
        CopyDriverFile(iconLib, DriverDir, osClass, false, resultText);

        std::string systemDir, windowsDir;
        if (Fs().getSystemDirectory(kDirSize, &systemDir) != ERROR_SUCCESS ||
            Fs().getWindowsDirectory(kDirSize, &windowsDir) != ERROR_SUCCESS) {
            resultText = MessageText("IDS_ERR_ALLOCMEMORY");
            return;
        }
        std::string installed = JoinPath(systemDir, "UNIDRV.DLL");
        if (Fs().probeFile(installed) == ERROR_SUCCESS) return;
        if (Fs().copyFile(JoinPath(windowsDir, "Sysbckup\\UNIDRV.DLL"), installed, true) ==
            ERROR_SUCCESS) {
            return;
        }
        char unidrv[] = "UNIDRV.DLL";
        CopyDriverFile(unidrv, DriverDir, osClass, false, resultText);
        return;
    }
    if (osClass == 1 || !ddkFlag) return;
    for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) {
        char name[16];
        std::strcpy(name, file);
        CopyDriverFile(name, DriverDir, osClass, false, resultText);
    }
}

void ResetCabinetState() {
    g_cabinetPending = true;
    g_cabinets.clear();
}

}  // namespace setup

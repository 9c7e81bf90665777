// What a new simulated machine's spooler starts with: the built-in Local
// Port monitor and WinPrint processor (keys and DLLs), the driver and
// processor folders, the driver key levels, and where the preset asks for
// them the generic Unidrv files: in a driver cache cabinet on 2000 to 2003,
// in the driver store's ntprint folder from Vista on.
#include <string>
#include <vector>

#include "platform/sim/cab_writer.h"
#include "platform/sim/pe_image.h"
#include "platform/sim/sim_parts.h"
#include "platform/sim/spooler_registry.h"

namespace plat::sim {
namespace {

// The driver store folder of the system's own printer drivers.
constexpr const char* kNtprintFolder = "ntprint.inf_x86_neutral_4616b8d6b9fb2cf5";

// A folder and its parents; existing ones are fine.
void MakeFolders(Files& files, const std::string& path) {
    for (std::size_t at = path.find('\\', 3); ; at = path.find('\\', at + 1)) {
        files.createDirectory(at == std::string::npos ? path : path.substr(0, at));
        if (at == std::string::npos) break;
    }
}

void WriteIfMissing(Files& files, const std::string& path, const std::string& bytes) {
    std::uint32_t attributes = 0;
    if (files.getFileAttributes(path, &attributes) != ERROR_SUCCESS) files.writeFile(path, bytes);
}

std::string SystemVersion(const OsPreset& os) {
    return std::to_string(os.major) + "." + std::to_string(os.minor) + "." + std::to_string(os.build) + ".0";
}

std::string SystemDll(const OsPreset& os, const std::string& description) {
    VersionFields f;
    f.fileVersion = SystemVersion(os);
    f.productName = os.productName;
    f.fileDescription = description;
    return BuildPeWithVersion(f);
}

// The generic Unidrv files and a few of their neighbours, as the system's
// own driver sources hold them.
std::vector<CabEntry> UnidrvFiles(const OsPreset& os) {
    auto gpd = [](const std::string& what) {
        return "*%  " + what + "\r\n*GPDSpecVersion: \"1.0\"\r\n*Include: \"stdnames.gpd\"\r\n";
    };
    return {
        {"unidrvui.dll", SystemDll(os, "Unidrv Printer Driver UI")},
        {"unidrv.dll", SystemDll(os, "Unidrv Printer Driver")},
        {"unires.dll", SystemDll(os, "Unidrv Printer Driver Resource DLL")},
        {"unidrv.hlp", "?_\x03\x00 Unidrv help\r\n"},
        {"stdnames.gpd", gpd("Standard names")},
        {"ttfsub.gpd", gpd("TrueType font substitution table")},
        {"pscript5.dll", SystemDll(os, "PostScript Printer Driver")},
        {"ps5ui.dll", SystemDll(os, "PostScript Printer Driver UI")},
        {"pscript.hlp", "?_\x03\x00 PostScript help\r\n"},
        {"sample.gpd", gpd("Sample printer")},
    };
}

}  // namespace

void LaySpoolerPreset(SimContext& ctx) {
    const OsPreset& os = ctx.os;
    const bool nt = os.platformId == VER_PLATFORM_WIN32_NT;
    const std::string env = nt ? kEnvNtX86 : kEnvWin40;
    Files& files = ctx.files;
    SpoolRegistry reg(ctx.registry);

    if (ctx.state.get("Spooler", "State").empty()) ctx.state.set("Spooler", "State", "running");

    std::string sysDir, winDir;
    files.getSystemDirectory(260, &sysDir);
    files.getWindowsDirectory(260, &winDir);

    // Folders where the spooler keeps driver and processor files.
    std::string driverDir = sysDir, processorDir = sysDir;
    if (nt) {
        driverDir = sysDir + "\\spool\\drivers\\w32x86";
        processorDir = sysDir + "\\spool\\prtprocs\\w32x86";
        MakeFolders(files, driverDir + (os.major >= 5 ? "\\3" : "\\2"));
        if (os.major >= 5) MakeFolders(files, driverDir + "\\2");
        MakeFolders(files, processorDir);
        MakeFolders(files, sysDir + "\\spool\\PRINTERS");
    }

    // The Local Port monitor and the WinPrint processor, keys and files.
    const std::string monitorDll = nt ? "localspl.dll" : "spool32.exe";
    reg.setString(std::string(kMonitorsKey) + "\\Local Port", "Driver", monitorDll);
    WriteIfMissing(files, sysDir + "\\" + monitorDll, SystemDll(os, "Local Spooler"));
    std::string processorKey = std::string(kEnvironmentsKey) + "\\" + env + "\\Print Processors\\WinPrint";
    reg.setString(processorKey, "Driver", "winprint.dll");
    WriteIfMissing(files, processorDir + "\\winprint.dll", SystemDll(os, "Windows Print Processor"));

    // The levels under which drivers and printers are added.
    std::string drivers = std::string(kEnvironmentsKey) + "\\" + env + "\\Drivers";
    reg.create(nt ? drivers + (os.major >= 5 ? "\\Version-3" : "\\Version-2") : drivers);
    reg.create(kPrintersKey);

    if (os.driverCacheCab) {
        std::string cacheDir = winDir + "\\Driver Cache\\i386";
        MakeFolders(files, cacheDir);
        WriteIfMissing(files, cacheDir + "\\driver.cab", WriteCabinet(UnidrvFiles(os)));
    }
    if (os.driverStore) {
        std::string store = sysDir + "\\DriverStore\\FileRepository\\" + kNtprintFolder;
        MakeFolders(files, store + "\\I386");
        WriteIfMissing(files, store + "\\ntprint.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n");
        for (const CabEntry& f : UnidrvFiles(os)) WriteIfMissing(files, store + "\\I386\\" + f.name, f.bytes);
    }
}

}  // namespace plat::sim

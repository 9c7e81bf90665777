#include "setup/engine/bulk_usb.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "common/sys.h"
#include "platform/version_block.h"
#include "setup/config/driver_config.h"

namespace setup {
namespace {

constexpr const char* kNoVersion = "0.0.0.0";
constexpr std::uint32_t kWindowsDirSize = 200;

}  // namespace

std::string GetFileVersionText(const std::string& path) {
    plat::Files& files = common::Sys().files();
    std::uint32_t size = 0;
    if (files.getFileVersionInfoSize(path, &size) != ERROR_SUCCESS || size == 0) {
        return kNoVersion;
    }
    std::vector<std::uint8_t> block;
    if (files.getFileVersionInfo(path, &block) != ERROR_SUCCESS) return kNoVersion;

    std::vector<std::uint8_t> translation;
    if (!plat::verQueryValue(block, "\\VarFileInfo\\Translation", &translation) ||
        translation.size() < 4) {
        return kNoVersion;
    }
    unsigned language = translation[0] | translation[1] << 8;
    unsigned codePage = translation[2] | translation[3] << 8;
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion", language,
                  codePage);
    std::string version;
    if (!plat::verQueryString(block, query, &version) || version.empty()) return kNoVersion;
    return version;
}

int VersionNumber(const std::string& versionText) {
    std::string picked;
    for (std::size_t i = 0; i < versionText.size() && picked.size() < 7; i += 2) {
        picked += versionText[i];
    }
    int number = 0;
    for (char c : picked) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        number = number * 10 + (c - '0');
    }
    return number;
}

int CompareBulkUsbDriver() {
    std::string medium = GetFileVersionText(ProgramDirectory() + "USBDRV\\bulkusb.sys");
    std::string windowsDir;
    common::Sys().files().getWindowsDirectory(kWindowsDirSize, &windowsDir);
    std::string installed =
        GetFileVersionText(windowsDir + "\\system32\\drivers\\bulkusb.sys");
    if (medium == installed) return 0;

    int installedNumber = VersionNumber(installed);
    if (installedNumber == 0) return -1;
    return VersionNumber(medium) > installedNumber ? 1 : 0;
}

}  // namespace setup

// The USB bulk-transfer driver: the version of the copy on the medium
// against the one installed in the system's drivers folder.
#pragma once

#include <string>

namespace setup {

// The FileVersion string of the file's version resource, "0.0.0.0" when it
// has none or cannot be read.
std::string GetFileVersionText(const std::string& path);

// The number a version text stands for: its characters at odd positions
// (1st, 3rd, ...), at most seven, read as leading decimal digits ("1.0.0.5"
// gives 1005; no digits give 0).
int VersionNumber(const std::string& versionText);

// -1: no usable installed driver; 1: the medium's driver is newer; 0: no update.
int CompareBulkUsbDriver();

}  // namespace setup

// Portable Executable files: reading the version resource out of a real PE
// file, and writing small PE files that carry one (for the simulated
// machine's system files and the demo medium).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace plat::sim {

// The VS_VERSIONINFO block of the file's version resource (RT_VERSION, the
// first name and language). Not a PE file: ERROR_BAD_FORMAT; no version
// resource: ERROR_RESOURCE_TYPE_NOT_FOUND.
Err ExtractVersionBlock(const std::string& fileBytes, std::vector<std::uint8_t>* block);

struct VersionFields {
    std::string fileVersion;        // "1.0.0.5": fixed info and the FileVersion string
    std::string productName;
    std::string fileDescription;
    std::uint16_t language = 0x0409;
    std::uint16_t codePage = 0x04b0;
};

// A small, valid PE image (a DLL or a driver) with a version resource.
// `trailer` is appended after the image (for the plain-text declarations
// the simulated spooler reads from monitor DLLs).
std::string BuildPeWithVersion(const VersionFields& fields, const std::string& trailer = "");

}  // namespace plat::sim

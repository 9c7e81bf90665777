// Reading values out of a VS_VERSIONINFO block, as VerQueryValueA does.
// Shared by every back end: the block is the same bytes on every machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// "\" gives the fixed file info (52 bytes), "\VarFileInfo\Translation" the
// array of language/code-page pairs (4 bytes each), and
// "\StringFileInfo\040904b0\FileVersion" a string (in ANSI bytes, converted
// from the block's UTF-16). Returns false when the value is not there.
bool verQueryValue(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                   std::vector<std::uint8_t>* value);
bool verQueryString(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                    std::string* value);

// The text conversions of version resources: UTF-16 (little-endian code
// units) to and from the ANSI code page (936 on the simulated machine, the
// system's code page on Windows). Characters without a counterpart become '?'.
std::string utf16ToAnsi(const std::u16string& text);
std::u16string ansiToUtf16(const std::string& text);

}  // namespace plat

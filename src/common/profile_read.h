// Private-profile reads as both programs make them: through the platform's
// GetPrivateProfileStringA, with the C library's integer conversion, and
// copies into the programs' fixed-size character fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace common {

// The value of `key` in `section` of `file`, cut to size-1 bytes, or `def`
// (cut likewise) for a missing file, section or key. An empty file or
// section name, or a null key, names nothing and reads as the default.
std::string ReadProfileText(const std::string& section, const char* key, const char* def,
                            std::uint32_t size, const std::string& file);

// The integer value of a text as atoi reads it: leading blanks skipped, an
// optional sign, decimal digits up to the first other character; no digits
// give 0. Values beyond the int range stop at its limits.
int TextToInt(const std::string& text);

// The integer value of a key read with default "0" into 200 characters,
// as TextToInt converts it (missing file, section or key: 0).
int ReadProfileInt(const std::string& section, const char* key, const std::string& file);

// Copies `text` into a field of `size` bytes, cut to size-1 bytes and
// zero-terminated.
void CopyText(char* field, std::size_t size, const std::string& text);

}  // namespace common

// Private-profile files and WIN.INI through the system's own profile calls,
// which already have the lookup rules the seam describes.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_parts.h"
#include "platform/win32/win32_util.h"

namespace plat::win32 {
namespace {

// The profile readers return the number of bytes copied; with a null section
// or key the result is a list of names separated by zeros, which the count
// keeps.
std::string Fetched(const std::vector<char>& buffer, DWORD n) {
    return std::string(buffer.data(), n < buffer.size() ? n : buffer.size());
}

class Win32Profile final : public Profile {
public:
    std::string getPrivateProfileString(const char* section, const char* key, const char* def,
                                        std::uint32_t size, const std::string& file) override {
        if (size == 0) return std::string();
        std::vector<char> buffer;
        if (!TryResize(buffer, size)) return std::string();
        const DWORD n =
            GetPrivateProfileStringA(section, key, def, buffer.data(), size, file.c_str());
        return Fetched(buffer, n);
    }

    Err writePrivateProfileString(const char* section, const char* key, const char* value,
                                  const std::string& file) override {
        return Checked(
            [&] { return WritePrivateProfileStringA(section, key, value, file.c_str()); });
    }

    std::string getProfileString(const char* section, const char* key, const char* def,
                                 std::uint32_t size) override {
        if (size == 0) return std::string();
        std::vector<char> buffer;
        if (!TryResize(buffer, size)) return std::string();
        const DWORD n = GetProfileStringA(section, key, def, buffer.data(), size);
        return Fetched(buffer, n);
    }

    Err writeProfileString(const char* section, const char* key, const char* value) override {
        return Checked([&] { return WriteProfileStringA(section, key, value); });
    }
};

}  // namespace

std::unique_ptr<Profile> MakeProfile() { return std::make_unique<Win32Profile>(); }

}  // namespace plat::win32

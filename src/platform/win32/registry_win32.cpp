// The registry through the ANSI registry calls. The programs name the
// predefined roots by their 32-bit numbers (0x80000001, 0x80000002); a
// 64-bit Windows sign-extends them inside HKEY, so they are mapped here.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_parts.h"
#include "platform/win32/win32_util.h"

namespace plat::win32 {
namespace {

HKEY RealKey(HKey key) {
    // A predefined root either as our zero-extended number or as Windows'
    // own sign-extended value.
    const std::uint64_t wide = key;
    const std::uint32_t low = static_cast<std::uint32_t>(wide);
    const bool predefined = low >= 0x80000000u && low <= 0x80000006u &&
                            (wide == low || wide == (0xFFFFFFFF00000000ull | low));
    if (!predefined) return FromHandle<HKEY>(key);
    switch (low) {
        case 0x80000000u:
            return HKEY_CLASSES_ROOT;
        case 0x80000001u:
            return HKEY_CURRENT_USER;
        case 0x80000002u:
            return HKEY_LOCAL_MACHINE;
        case 0x80000003u:
            return HKEY_USERS;
        case 0x80000004u:
            return HKEY_PERFORMANCE_DATA;
        case 0x80000005u:
            return HKEY_CURRENT_CONFIG;
        default:
            return HKEY_DYN_DATA;
    }
}

class Win32Registry final : public Registry {
public:
    Err openKey(HKey root, const std::string& subKey, std::uint32_t sam, HKey* out) override {
        HKEY key = nullptr;
        const LONG r = RegOpenKeyExA(RealKey(root), subKey.c_str(), 0, sam, &key);
        if (r != ERROR_SUCCESS) return static_cast<Err>(r);
        *out = ToHandle(key);
        return 0;
    }

    Err createKey(HKey root, const std::string& subKey, std::uint32_t sam, HKey* out,
                  std::uint32_t* disposition) override {
        HKEY key = nullptr;
        DWORD how = 0;
        const LONG r = RegCreateKeyExA(RealKey(root), subKey.c_str(), 0, nullptr,
                                       REG_OPTION_NON_VOLATILE, sam, nullptr, &key, &how);
        if (r != ERROR_SUCCESS) return static_cast<Err>(r);
        *out = ToHandle(key);
        if (disposition) *disposition = how;
        return 0;
    }

    Err closeKey(HKey key) override { return static_cast<Err>(RegCloseKey(RealKey(key))); }

    Err queryValue(HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                   std::uint32_t* size) override {
        DWORD t = 0;
        DWORD n = size ? *size : 0;
        const LONG r = RegQueryValueExA(RealKey(key), name, nullptr, &t, data, size ? &n : nullptr);
        if (type) *type = t;
        if (size) *size = n;
        return static_cast<Err>(r);
    }

    Err setValue(HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                 std::uint32_t size) override {
        return static_cast<Err>(RegSetValueExA(RealKey(key), name, 0, type, data, size));
    }

    Err deleteValue(HKey key, const char* name) override {
        return static_cast<Err>(RegDeleteValueA(RealKey(key), name));
    }

    Err deleteKey(HKey root, const std::string& subKey) override {
        return static_cast<Err>(RegDeleteKeyA(RealKey(root), subKey.c_str()));
    }

    Err enumKey(HKey key, std::uint32_t index, std::string* name) override {
        char buffer[256];  // a key name has at most 255 characters
        DWORD n = sizeof buffer;
        const LONG r =
            RegEnumKeyExA(RealKey(key), index, buffer, &n, nullptr, nullptr, nullptr, nullptr);
        if (r != ERROR_SUCCESS) return static_cast<Err>(r);
        name->assign(buffer, n);
        return 0;
    }

    Err enumValue(HKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                  std::vector<std::uint8_t>* data) override {
        // Value names have at most 16383 characters; the data grows until it
        // fits (another program may enlarge the value between two calls).
        std::vector<char> nameBuffer(16384);
        std::vector<std::uint8_t> bytes(256);
        for (;;) {
            DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
            DWORD dataLength = static_cast<DWORD>(bytes.size());
            DWORD t = 0;
            const LONG r = RegEnumValueA(RealKey(key), index, nameBuffer.data(), &nameLength,
                                         nullptr, &t, bytes.data(), &dataLength);
            if (r == ERROR_MORE_DATA && dataLength > bytes.size()) {
                if (!TryResize(bytes, dataLength)) return ERROR_NOT_ENOUGH_MEMORY;
                continue;
            }
            if (r != ERROR_SUCCESS) return static_cast<Err>(r);
            if (name) name->assign(nameBuffer.data(), nameLength);
            if (type) *type = t;
            if (data) data->assign(bytes.begin(), bytes.begin() + dataLength);
            return 0;
        }
    }
};

}  // namespace

std::unique_ptr<Registry> MakeRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace plat::win32

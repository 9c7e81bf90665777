// The setup's one registry wrapper: at most one open key, open/close,
// read and write of values, and a static key creation.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace setup {

class RegKey {
public:
    RegKey() = default;
    ~RegKey();
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    bool Open(plat::HKey root, const char* subKey);   // KEY_ALL_ACCESS, closes the held key first
    bool Close();
    bool QueryValue(const char* name, void* buffer, std::uint32_t size);
    bool GetDword(const char* name, std::uint32_t* value);
    bool SetValue(const char* name, const void* data, std::uint32_t type, std::uint32_t size);
    bool SetDword(const char* name, std::uint32_t value);
    bool SetString(const char* name, const char* text);
    static bool CreateKey(plat::HKey root, const char* subKey);

    bool IsOpen() const { return key_ != 0; }

private:
    plat::HKey key_ = 0;
};

// Opens `subKey`, creating it first when it does not exist yet.
bool OpenOrCreate(RegKey& key, plat::HKey root, const char* subKey);

// Records a USB port in the maker's keys SOFTWARE\KESTRAN\PORTNAME\ and
// SOFTWARE\KESTRAN\PRINTERPORT\.
void RecordUsbPort(const char* portName);

}  // namespace setup

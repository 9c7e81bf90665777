#include "setup/engine/reg_key.h"

#include <string>

#include "common/profile_read.h"
#include "common/sys.h"
#include "setup/config/driver_config.h"

namespace setup {
namespace {

plat::Registry& Reg() { return common::Sys().registry(); }

}  // namespace

RegKey::~RegKey() { Close(); }

bool RegKey::Open(plat::HKey root, const char* subKey) {
    Close();
    plat::HKey key = 0;
    if (Reg().openKey(root, subKey ? subKey : "", KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false;
    }
    key_ = key;
    return true;
}

bool RegKey::Close() {
    if (!key_) return false;
    plat::Err err = Reg().closeKey(key_);
    key_ = 0;
    return err == ERROR_SUCCESS;
}

bool RegKey::QueryValue(const char* name, void* buffer, std::uint32_t size) {
    if (!key_) return false;
    std::uint32_t inOut = size;
    return Reg().queryValue(key_, name, nullptr, static_cast<std::uint8_t*>(buffer), &inOut) ==
           ERROR_SUCCESS;
}

bool RegKey::GetDword(const char* name, std::uint32_t* value) {
    std::uint32_t read = 0;
    if (!QueryValue(name, &read, sizeof read)) return false;
    *value = read;
    return true;
}

bool RegKey::SetValue(const char* name, const void* data, std::uint32_t type, std::uint32_t size) {
    if (!key_) return false;
    return Reg().setValue(key_, name, type, static_cast<const std::uint8_t*>(data), size) ==
           ERROR_SUCCESS;
}

bool RegKey::SetDword(const char* name, std::uint32_t value) {
    return SetValue(name, &value, REG_DWORD, sizeof value);
}

bool RegKey::SetString(const char* name, const char* text) {
    std::string value = text ? text : "";
    return SetValue(name, value.c_str(), REG_SZ, static_cast<std::uint32_t>(value.size() + 1));
}

bool RegKey::CreateKey(plat::HKey root, const char* subKey) {
    plat::HKey key = 0;
    std::uint32_t disposition = 0;
    if (Reg().createKey(root, subKey ? subKey : "", KEY_ALL_ACCESS, &key, &disposition) !=
        ERROR_SUCCESS) {
        return false;
    }
    Reg().closeKey(key);
    return true;
}

bool OpenOrCreate(RegKey& key, plat::HKey root, const char* subKey) {
    if (key.Open(root, subKey)) return true;
    return RegKey::CreateKey(root, subKey) && key.Open(root, subKey);
}

void RecordUsbPort(const char* portName) {
    std::string name = portName ? portName : "";
    std::string configFile = ProgramDirectory() + "DRVCONFIG\\setup.ini";
    int code = common::TextToInt(
        common::ReadProfileText("SUPPORTED-USB-DEVICE", name.c_str(), "0", 200, configFile));

    RegKey key;
    if (OpenOrCreate(key, HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PORTNAME\\")) {
        key.SetDword(name.c_str(), static_cast<std::uint32_t>(code));
        key.Close();
    }
    if (OpenOrCreate(key, HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PRINTERPORT\\")) {
        for (const char* slot : {"D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8"}) {
            key.SetDword(slot, 0);
        }
        key.Close();
    }
}

}  // namespace setup

#include "platform/sim/spooler_registry.h"

namespace plat::sim {
namespace {

// An open key that closes itself.
class Key {
public:
    Key(Registry& reg, const std::string& path, bool create) : reg_(reg) {
        if (create) {
            std::uint32_t disposition = 0;
            err_ = reg.createKey(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS, &key_, &disposition);
        } else {
            err_ = reg.openKey(HKEY_LOCAL_MACHINE, path, KEY_READ, &key_);
        }
        if (err_ != ERROR_SUCCESS) key_ = 0;
    }
    ~Key() {
        if (key_ != 0) reg_.closeKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKey get() const { return key_; }
    Err error() const { return err_; }

private:
    Registry& reg_;
    HKey key_ = 0;
    Err err_ = ERROR_SUCCESS;
};

bool Query(Registry& reg, const std::string& path, const char* name, std::uint32_t* type,
           std::vector<std::uint8_t>* data) {
    Key key(reg, path, false);
    if (key.get() == 0) return false;
    std::uint32_t size = 0;
    if (reg.queryValue(key.get(), name, type, nullptr, &size) != ERROR_SUCCESS) return false;
    data->assign(size, 0);
    if (size == 0) return true;
    return reg.queryValue(key.get(), name, type, data->data(), &size) == ERROR_SUCCESS;
}

Err Set(Registry& reg, const std::string& path, const char* name, std::uint32_t type,
        const std::string& bytes) {
    Key key(reg, path, true);
    if (key.get() == 0) return key.error();
    return reg.setValue(key.get(), name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                        static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace

bool SpoolRegistry::exists(const std::string& path) { return Key(reg_, path, false).get() != 0; }

std::vector<std::string> SpoolRegistry::subKeys(const std::string& path) {
    std::vector<std::string> names;
    Key key(reg_, path, false);
    if (key.get() == 0) return names;
    std::string name;
    for (std::uint32_t i = 0; reg_.enumKey(key.get(), i, &name) == ERROR_SUCCESS; ++i) {
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> SpoolRegistry::valueNames(const std::string& path) {
    std::vector<std::string> names;
    Key key(reg_, path, false);
    if (key.get() == 0) return names;
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    for (std::uint32_t i = 0; reg_.enumValue(key.get(), i, &name, &type, &data) == ERROR_SUCCESS;
         ++i) {
        names.push_back(name);
    }
    return names;
}

bool SpoolRegistry::getString(const std::string& path, const char* name, std::string* out) {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!Query(reg_, path, name, &type, &data) || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    out->assign(data.begin(), data.end());
    while (!out->empty() && out->back() == '\0') out->pop_back();
    return true;
}

std::string SpoolRegistry::string(const std::string& path, const char* name) {
    std::string value;
    getString(path, name, &value);
    return value;
}

bool SpoolRegistry::getDword(const std::string& path, const char* name, std::uint32_t* out) {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!Query(reg_, path, name, &type, &data) || type != REG_DWORD || data.size() != 4) {
        return false;
    }
    *out = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    return true;
}

std::uint32_t SpoolRegistry::dword(const std::string& path, const char* name, std::uint32_t def) {
    std::uint32_t value = def;
    return getDword(path, name, &value) ? value : def;
}

std::vector<std::string> SpoolRegistry::multiString(const std::string& path, const char* name) {
    std::vector<std::string> values;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!Query(reg_, path, name, &type, &data) || type != REG_MULTI_SZ) return values;
    std::string current;
    for (std::uint8_t c : data) {
        if (c != 0) {
            current.push_back(static_cast<char>(c));
        } else if (!current.empty()) {
            values.push_back(current);
            current.clear();
        } else {
            break;  // the empty string that ends the list
        }
    }
    if (!current.empty()) values.push_back(current);
    return values;
}

Err SpoolRegistry::create(const std::string& path) {
    Key key(reg_, path, true);
    return key.error();
}

Err SpoolRegistry::setString(const std::string& path, const char* name, const std::string& value) {
    return Set(reg_, path, name, REG_SZ, value + '\0');
}

Err SpoolRegistry::setDword(const std::string& path, const char* name, std::uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return Set(reg_, path, name, REG_DWORD, bytes);
}

Err SpoolRegistry::setMultiString(const std::string& path, const char* name,
                                  const std::vector<std::string>& values) {
    std::string bytes;
    for (const std::string& v : values) bytes += v + '\0';
    bytes += '\0';
    return Set(reg_, path, name, REG_MULTI_SZ, bytes);
}

Err SpoolRegistry::deleteTree(const std::string& path) {
    for (const std::string& child : subKeys(path)) {
        Err err = deleteTree(path + "\\" + child);
        if (err != ERROR_SUCCESS) return err;
    }
    return reg_.deleteKey(HKEY_LOCAL_MACHINE, path);
}

}  // namespace plat::sim

#include "platform/sim/registry.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace plat::sim {

namespace {

const HKey kRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS};

std::string RegFilePath(const FolderState& s) { return s.machineDir() + "/registry.reg"; }

// Sub-key path into names. A leading backslash is refused as Windows
// refuses it; doubled and trailing backslashes are accepted.
Err SplitKeyPath(const std::string& path, std::vector<std::string>* names) {
    names->clear();
    if (!path.empty() && path[0] == '\\') return ERROR_BAD_PATHNAME;
    std::size_t i = 0;
    while (i < path.size()) {
        std::size_t j = FindCharAnsi(path, '\\', i);
        if (j == std::string::npos) j = path.size();
        if (j > i) names->push_back(path.substr(i, j - i));
        i = j + 1;
    }
    return 0;
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// REG_SZ data that the quoted form keeps exactly: text, one terminating
// zero, nothing a line cannot hold.
bool IsPlainString(const std::vector<std::uint8_t>& d) {
    if (d.empty() || d.back() != 0) return false;
    for (std::size_t i = 0; i + 1 < d.size(); ++i) {
        if (d[i] == 0 || d[i] == '\r' || d[i] == '\n') return false;
    }
    return true;
}

void AppendHex(std::string* out, const std::string& prefix, const std::vector<std::uint8_t>& d) {
    std::string line = prefix;
    char buf[8];
    for (std::size_t i = 0; i < d.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", d[i]);
        line += buf;
        if (i + 1 < d.size()) {
            line += ',';
            if (line.size() > 76) {
                *out += line + "\\\n";
                line = "  ";
            }
        }
    }
    *out += line + "\n";
}

void FormatKey(std::string* out, const std::string& path, const RegNode& node, bool isRoot) {
    if (!isRoot || !node.values.empty()) {
        *out += "[" + path + "]\n";
        for (const RegValue& v : node.values) {
            std::string name = v.name.empty() ? "@" : "\"" + Escape(v.name) + "\"";
            if (v.type == REG_SZ && IsPlainString(v.data)) {
                std::string text(v.data.begin(), v.data.end() - 1);
                *out += name + "=\"" + Escape(text) + "\"\n";
            } else if (v.type == REG_DWORD && v.data.size() == 4) {
                std::uint32_t x = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                                  (static_cast<std::uint32_t>(v.data[3]) << 24);
                char buf[16];
                std::snprintf(buf, sizeof buf, "%08x", x);
                *out += name + "=dword:" + buf + "\n";
            } else if (v.type == REG_BINARY) {
                AppendHex(out, name + "=hex:", v.data);
            } else {
                char buf[24];
                std::snprintf(buf, sizeof buf, "=hex(%x):", v.type);
                AppendHex(out, name + buf, v.data);
            }
        }
        *out += "\n";
    }
    for (const auto& [folded, child] : node.children) {
        FormatKey(out, path + "\\" + child->name, *child, false);
    }
}

bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>* out) {
    out->clear();
    std::string t = TrimBlanks(text);
    if (t.empty()) return true;
    std::size_t i = 0;
    while (i <= t.size()) {
        std::size_t j = t.find(',', i);
        if (j == std::string::npos) j = t.size();
        std::string b = TrimBlanks(t.substr(i, j - i));
        if (b.empty() || b.size() > 2 || !std::isxdigit(static_cast<unsigned char>(b[0])) ||
            (b.size() == 2 && !std::isxdigit(static_cast<unsigned char>(b[1]))))
            return false;
        out->push_back(static_cast<std::uint8_t>(std::stoul(b, nullptr, 16)));
        i = j + 1;
    }
    return true;
}

// A quoted string starting at text[*pos] == '"'; moves *pos past the end.
bool ParseQuoted(const std::string& text, std::size_t* pos, std::string* out) {
    out->clear();
    std::size_t i = *pos + 1;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\\') {
            if (i + 1 >= text.size()) return false;
            *out += text[i + 1];
            i += 2;
        } else if (c == '"') {
            *pos = i + 1;
            return true;
        } else {
            *out += c;
            ++i;
        }
    }
    return false;
}

RegNode* Child(RegNode* node, const std::string& name, bool create) {
    std::string key = FoldCase(name);
    auto it = node->children.find(key);
    if (it != node->children.end()) return it->second.get();
    if (!create) return nullptr;
    auto child = std::make_unique<RegNode>();
    child->name = name;
    RegNode* raw = child.get();
    node->children.emplace(key, std::move(child));
    return raw;
}

RegValue* FindValue(RegNode* node, const std::string& name) {
    for (RegValue& v : node->values) {
        if (EqualNoCase(v.name, name)) return &v;
    }
    return nullptr;
}

}  // namespace

const char* RootName(HKey root) {
    switch (root) {
        case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
        case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
        case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
        case HKEY_USERS: return "HKEY_USERS";
        default: return nullptr;
    }
}

std::string FormatRegistry(const RegTree& tree) {
    std::string out = "REGEDIT4\n\n";
    for (HKey root : kRoots) {
        auto it = tree.roots.find(root);
        if (it == tree.roots.end()) continue;
        FormatKey(&out, RootName(root), it->second, true);
    }
    return out;
}

bool ParseRegistry(const std::string& fileName, const std::string& text, RegTree* tree,
                   std::string* error) {
    tree->roots.clear();
    tree->roots[HKEY_LOCAL_MACHINE];
    tree->roots[HKEY_CURRENT_USER];
    std::vector<std::string> lines;
    {
        std::istringstream in(text);
        std::string l;
        while (std::getline(in, l)) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            lines.push_back(l);
        }
    }
    auto fail = [&](std::size_t lineIndex, const std::string& what) {
        *error = fileName + " line " + std::to_string(lineIndex + 1) + ": " + what;
        return false;
    };
    std::size_t i = 0;
    while (i < lines.size() && TrimBlanks(lines[i]).empty()) ++i;
    if (i >= lines.size() || TrimBlanks(lines[i]) != "REGEDIT4") {
        return fail(i < lines.size() ? i : 0, "the file must begin with REGEDIT4");
    }
    ++i;
    RegNode* current = nullptr;
    for (; i < lines.size(); ++i) {
        std::size_t first = i;
        std::string line = lines[i];
        std::string t = TrimBlanks(line);
        if (t.empty() || t[0] == ';') continue;
        if (t[0] == '[') {
            if (t.back() != ']') return fail(i, "a key line must end with ]: " + t);
            std::string path = t.substr(1, t.size() - 2);
            if (!path.empty() && path[0] == '-') return fail(i, "key deletions are not kept here: " + t);
            std::vector<std::string> names;
            if (SplitKeyPath(path, &names) != 0 || names.empty())
                return fail(i, "not a key path: " + t);
            HKey root = 0;
            for (HKey r : kRoots) {
                if (EqualNoCase(names[0], RootName(r))) root = r;
            }
            if (!root) return fail(i, "unknown root key " + names[0]);
            current = &tree->roots[root];
            for (std::size_t k = 1; k < names.size(); ++k) current = Child(current, names[k], true);
            continue;
        }
        if (!current) return fail(i, "a value before the first [key] line: " + t);
        // Continuation lines of hex data end with a backslash.
        while (!t.empty() && t.back() == '\\' && t.find("=hex") != std::string::npos &&
               i + 1 < lines.size()) {
            t.pop_back();
            t += TrimBlanks(lines[++i]);
        }
        RegValue v;
        std::size_t pos = 0;
        if (t[0] == '@') {
            pos = 1;
        } else if (t[0] == '"') {
            if (!ParseQuoted(t, &pos, &v.name)) return fail(first, "unterminated value name: " + t);
        } else {
            return fail(first, "expected \"name\"=value, @=value or [key]: " + t);
        }
        if (pos >= t.size() || t[pos] != '=') return fail(first, "expected = after the value name: " + t);
        std::string data = t.substr(pos + 1);
        if (!data.empty() && data[0] == '"') {
            std::size_t p = 0;
            std::string s;
            if (!ParseQuoted(data, &p, &s) || !TrimBlanks(data.substr(p)).empty())
                return fail(first, "bad string value: " + t);
            v.type = REG_SZ;
            v.data.assign(s.begin(), s.end());
            v.data.push_back(0);
        } else if (data.rfind("dword:", 0) == 0) {
            std::string h = TrimBlanks(data.substr(6));
            if (h.empty() || h.size() > 8 ||
                h.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                return fail(first, "bad dword value: " + t);
            std::uint32_t x = static_cast<std::uint32_t>(std::stoul(h, nullptr, 16));
            v.type = REG_DWORD;
            v.data = {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x >> 8),
                      static_cast<std::uint8_t>(x >> 16), static_cast<std::uint8_t>(x >> 24)};
        } else if (data.rfind("hex:", 0) == 0) {
            v.type = REG_BINARY;
            if (!ParseHexBytes(data.substr(4), &v.data)) return fail(first, "bad hex bytes: " + t);
        } else if (data.rfind("hex(", 0) == 0) {
            std::size_t close = data.find("):");
            std::string n = close == std::string::npos ? "" : data.substr(4, close - 4);
            if (n.empty() || n.size() > 8 ||
                n.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                return fail(first, "bad hex(type) value: " + t);
            v.type = static_cast<std::uint32_t>(std::stoul(n, nullptr, 16));
            if (!ParseHexBytes(data.substr(close + 2), &v.data))
                return fail(first, "bad hex bytes: " + t);
        } else {
            return fail(first, "unknown value data: " + t);
        }
        if (RegValue* old = FindValue(current, v.name)) {
            *old = std::move(v);
        } else {
            current->values.push_back(std::move(v));
        }
    }
    return true;
}

// ---------------------------------------------------------------------------

SimRegistry::SimRegistry(FolderState& state, bool ntFamily) : state_(state), nt_(ntFamily) {}

bool SimRegistry::load(std::string* error) {
    std::string path = RegFilePath(state_);
    FileStamp now = StampOf(path);
    if (loaded_ && now == stamp_) return true;
    std::string text;
    if (!ReadHostFile(path, &text)) {
        if (error) *error = path + ": cannot read the registry file";
        loaded_ = false;
        return false;
    }
    RegTree parsed;
    std::string err;
    if (!ParseRegistry(path, text, &parsed, &err)) {
        if (error) *error = err;
        loaded_ = false;
        return false;
    }
    tree_ = std::move(parsed);
    stamp_ = now;
    loaded_ = true;
    return true;
}

bool SimRegistry::save() {
    std::string path = RegFilePath(state_);
    if (!WriteFileAtomically(path, FormatRegistry(tree_), nullptr)) {
        loaded_ = false;
        return false;
    }
    stamp_ = StampOf(path);
    return true;
}

bool SimRegistry::check(std::string* error) {
    FolderState::Lock lock(state_);
    loaded_ = false;
    return load(error);
}

Err SimRegistry::locate(HKey key, Location* out) {
    if (RootName(key)) {
        out->root = key;
        out->path.clear();
        return 0;
    }
    std::lock_guard<std::mutex> g(handlesMutex_);
    auto it = handles_.find(key);
    if (it == handles_.end()) return ERROR_INVALID_HANDLE;
    *out = it->second;
    return 0;
}

RegNode* SimRegistry::find(const Location& loc) {
    auto it = tree_.roots.find(loc.root);
    if (it == tree_.roots.end()) {
        if (loc.root != HKEY_CLASSES_ROOT && loc.root != HKEY_USERS) return nullptr;
        it = tree_.roots.emplace(loc.root, RegNode{}).first;
    }
    RegNode* node = &it->second;
    for (const std::string& n : loc.path) {
        node = Child(node, n, false);
        if (!node) return nullptr;
    }
    return node;
}

Err SimRegistry::nodeOf(HKey key, Location* loc, RegNode** node) {
    if (!load(nullptr)) return ERROR_BADKEY;
    if (Err e = locate(key, loc)) return e;
    *node = find(*loc);
    return *node ? 0 : ERROR_KEY_DELETED;
}

HKey SimRegistry::newHandle(const Location& loc) {
    std::lock_guard<std::mutex> g(handlesMutex_);
    HKey h = nextHandle_;
    nextHandle_ += 4;
    handles_[h] = loc;
    return h;
}

Err SimRegistry::openKey(HKey root, const std::string& subKey, std::uint32_t, HKey* out) {
    FolderState::Lock lock(state_);
    Location loc;
    RegNode* node = nullptr;
    if (Err e = nodeOf(root, &loc, &node)) return e;
    std::vector<std::string> names;
    if (Err e = SplitKeyPath(subKey, &names)) return e;
    for (const std::string& n : names) {
        node = Child(node, n, false);
        if (!node) return ERROR_FILE_NOT_FOUND;
        loc.path.push_back(node->name);
    }
    *out = newHandle(loc);
    return 0;
}

Err SimRegistry::createKey(HKey root, const std::string& subKey, std::uint32_t, HKey* out,
                           std::uint32_t* disposition) {
    FolderState::Lock lock(state_);
    Location loc;
    RegNode* node = nullptr;
    if (Err e = nodeOf(root, &loc, &node)) return e;
    std::vector<std::string> names;
    if (Err e = SplitKeyPath(subKey, &names)) return e;
    bool created = false;
    for (const std::string& n : names) {
        RegNode* next = Child(node, n, false);
        if (!next) {
            next = Child(node, n, true);
            created = true;
        }
        node = next;
        loc.path.push_back(node->name);
    }
    if (created && !save()) return ERROR_BADKEY;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *out = newHandle(loc);
    return 0;
}

Err SimRegistry::closeKey(HKey key) {
    if (RootName(key)) return 0;
    std::lock_guard<std::mutex> g(handlesMutex_);
    return handles_.erase(key) ? 0 : ERROR_INVALID_HANDLE;
}

Err SimRegistry::queryValue(HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) {
    FolderState::Lock lock(state_);
    Location loc;
    RegNode* node = nullptr;
    if (Err e = nodeOf(key, &loc, &node)) return e;
    RegValue* v = FindValue(node, name ? name : "");
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (data && !size) return ERROR_INVALID_PARAMETER;
    if (type) *type = v->type;
    std::uint32_t needed = static_cast<std::uint32_t>(v->data.size());
    if (!data) {
        if (size) *size = needed;
        return 0;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed) std::memcpy(data, v->data.data(), needed);
    *size = needed;
    return 0;
}

Err SimRegistry::setValue(HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) {
    if (!data && size) return ERROR_INVALID_PARAMETER;
    FolderState::Lock lock(state_);
    Location loc;
    RegNode* node = nullptr;
    if (Err e = nodeOf(key, &loc, &node)) return e;
    RegValue v;
    v.name = name ? name : "";
    v.type = type;
    if (size) v.data.assign(data, data + size);
    if (RegValue* old = FindValue(node, v.name)) {
        old->type = v.type;
        old->data = std::move(v.data);
    } else {
        node->values.push_back(std::move(v));
    }
    return save() ? 0 : ERROR_BADKEY;
}

Err SimRegistry::deleteValue(HKey key, const char* name) {
    FolderState::Lock lock(state_);
    Location loc;
    RegNode* node = nullptr;
    if (Err e = nodeOf(key, &loc, &node)) return e;
    std::string n = name ? name : "";
    std::size_t before = node->values.size();
    std::erase_if(node->values, [&](const RegValue& v) { return EqualNoCase(v.name, n); });
    if (node->values.size() == before) return ERROR_FILE_NOT_FOUND;
    return save() ? 0 : ERROR_BADKEY;
}

Err SimRegistry::deleteKey(HKey root, const std::string& subKey) {
    FolderState::Lock lock(state_);
    Location loc;
    RegNode* parent = nullptr;
    if (Err e = nodeOf(root, &loc, &parent)) return e;
    std::vector<std::string> names;
    if (Err e = SplitKeyPath(subKey, &names)) return e;
    if (names.empty()) return ERROR_ACCESS_DENIED;   // a key cannot delete itself this way
    for (std::size_t k = 0; k + 1 < names.size(); ++k) {
        parent = Child(parent, names[k], false);
        if (!parent) return ERROR_FILE_NOT_FOUND;
    }
    auto it = parent->children.find(FoldCase(names.back()));
    if (it == parent->children.end()) return ERROR_FILE_NOT_FOUND;
    if (nt_ && !it->second->children.empty()) return ERROR_ACCESS_DENIED;
    parent->children.erase(it);
    return save() ? 0 : ERROR_BADKEY;
}

Err SimRegistry::enumKey(HKey key, std::uint32_t index, std::string* name) {
    FolderState::Lock lock(state_);
    Location loc;
    RegNode* node = nullptr;
    if (Err e = nodeOf(key, &loc, &node)) return e;
    if (index >= node->children.size()) return ERROR_NO_MORE_ITEMS;
    auto it = node->children.begin();
    std::advance(it, index);
    *name = it->second->name;
    return 0;
}

Err SimRegistry::enumValue(HKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                           std::vector<std::uint8_t>* data) {
    FolderState::Lock lock(state_);
    Location loc;
    RegNode* node = nullptr;
    if (Err e = nodeOf(key, &loc, &node)) return e;
    if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegValue& v = node->values[index];
    if (name) *name = v.name;
    if (type) *type = v.type;
    if (data) *data = v.data;
    return 0;
}

}  // namespace plat::sim

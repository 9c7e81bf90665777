#include "platform/sim/profile.h"

namespace plat::sim {

IniLines::IniLines(const std::string& text) {
    std::size_t i = 0;
    bool sawCrLf = false, sawLf = false;
    while (i < text.size()) {
        std::size_t j = text.find('\n', i);
        Line l;
        if (j == std::string::npos) {
            l.text = text.substr(i);
            i = text.size();
        } else {
            l.text = text.substr(i, j - i);
            l.end = "\n";
            if (!l.text.empty() && l.text.back() == '\r') {
                l.text.pop_back();
                l.end = "\r\n";
                sawCrLf = true;
            } else {
                sawLf = true;
            }
            i = j + 1;
        }
        lines_.push_back(std::move(l));
    }
    if (sawLf && !sawCrLf) newline_ = "\n";
}

std::string IniLines::text() const {
    std::string out;
    for (const Line& l : lines_) out += l.text + l.end;
    return out;
}

bool IniLines::sectionName(const std::string& line, std::string* name) {
    std::string t = TrimBlanks(line);
    if (t.empty() || t[0] != '[') return false;
    std::size_t close = FindCharAnsi(t, ']', 1);
    *name = TrimBlanks(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

bool IniLines::keyOf(const std::string& line, std::string* key, std::string* value) {
    std::size_t eq = FindCharAnsi(line, '=');
    if (eq == std::string::npos) return false;
    *key = TrimBlanks(line.substr(0, eq));
    if (value) {
        std::string v = TrimBlanks(line.substr(eq + 1));
        if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) {
            v = v.substr(1, v.size() - 2);
        }
        *value = v;
    }
    return true;
}

bool IniLines::findSection(const std::string& section, std::size_t* begin, std::size_t* end) const {
    std::string name;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!sectionName(lines_[i].text, &name) || !EqualNoCase(name, section)) continue;
        *begin = i;
        std::size_t j = i + 1;
        while (j < lines_.size() && !sectionName(lines_[j].text, &name)) ++j;
        *end = j;
        return true;
    }
    return false;
}

bool IniLines::lookup(const std::string& section, const std::string& key, std::string* value) const {
    std::size_t b, e;
    if (!findSection(section, &b, &e)) return false;
    std::string k;
    for (std::size_t i = b + 1; i < e; ++i) {
        if (keyOf(lines_[i].text, &k, value) && EqualNoCase(k, key)) return true;
    }
    return false;
}

std::vector<std::string> IniLines::sectionNames() const {
    std::vector<std::string> out;
    std::string name;
    for (const Line& l : lines_) {
        if (sectionName(l.text, &name)) out.push_back(name);
    }
    return out;
}

std::vector<std::string> IniLines::keyNames(const std::string& section) const {
    std::vector<std::string> out;
    std::size_t b, e;
    if (!findSection(section, &b, &e)) return out;
    std::string k;
    for (std::size_t i = b + 1; i < e; ++i) {
        if (keyOf(lines_[i].text, &k, nullptr)) out.push_back(k);
    }
    return out;
}

void IniLines::set(const std::string& section, const std::string& key, const std::string& value) {
    std::size_t b, e;
    std::string line = key + "=" + value;
    if (!findSection(section, &b, &e)) {
        if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = newline_;
        lines_.push_back({"[" + section + "]", newline_});
        lines_.push_back({line, newline_});
        return;
    }
    std::string k;
    std::size_t lastKey = b;
    for (std::size_t i = b + 1; i < e; ++i) {
        if (!keyOf(lines_[i].text, &k, nullptr)) continue;
        if (EqualNoCase(k, key)) {
            lines_[i].text = line;
            return;
        }
        lastKey = i;
    }
    // A new key goes after the section's last key, before trailing blank lines.
    std::size_t at = lastKey + 1;
    if (lines_[at - 1].end.empty()) lines_[at - 1].end = newline_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), {line, newline_});
}

bool IniLines::eraseKey(const std::string& section, const std::string& key) {
    std::size_t b, e;
    if (!findSection(section, &b, &e)) return false;
    std::string k;
    for (std::size_t i = b + 1; i < e; ++i) {
        if (keyOf(lines_[i].text, &k, nullptr) && EqualNoCase(k, key)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

bool IniLines::eraseSection(const std::string& section) {
    std::size_t b, e;
    if (!findSection(section, &b, &e)) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(b),
                 lines_.begin() + static_cast<std::ptrdiff_t>(e));
    return true;
}

// ---------------------------------------------------------------------------

SimProfile::SimProfile(FolderState& state, Files& files) : state_(state), files_(files) {}

std::string SimProfile::windowsPathOf(const std::string& file) {
    // A bare name lives in the Windows directory; anything with a path is
    // taken as written (relative paths against the current directory).
    if (file.find('\\') == std::string::npos && file.find('/') == std::string::npos &&
        file.find(':') == std::string::npos) {
        std::string dir;
        if (files_.getWindowsDirectory(260, &dir) != 0) dir = "C:\\WINDOWS";
        return dir + "\\" + file;
    }
    return file;
}

namespace {

// The buffer rules of GetPrivateProfileStringA for a list of names: each
// name ends in a zero; cut to size-2 bytes when it does not fit.
std::string NameList(const std::vector<std::string>& names, std::uint32_t size) {
    std::string out;
    for (const std::string& n : names) {
        out += n;
        out += '\0';
    }
    if (size < 2) return "";
    if (out.size() + 1 > size) {
        out.resize(size - 2);
        if (!out.empty()) out.back() = '\0';
    }
    return out;
}

std::string Cut(std::string text, std::uint32_t size) {
    if (size == 0) return "";
    if (text.size() > size - 1) text.resize(size - 1);
    return text;
}

}  // namespace

std::string SimProfile::getPrivateProfileString(const char* section, const char* key,
                                                const char* def, std::uint32_t size,
                                                const std::string& file) {
    std::string bytes;
    bool present = files_.readFile(windowsPathOf(file), &bytes) == 0;
    IniLines ini(present ? bytes : std::string());
    if (!section) return NameList(ini.sectionNames(), size);
    if (!key) return NameList(ini.keyNames(section), size);
    std::string value;
    if (ini.lookup(section, key, &value)) return Cut(value, size);
    // The default loses its trailing blanks, as Windows cuts them.
    std::string d = def ? def : "";
    while (!d.empty() && d.back() == ' ') d.pop_back();
    return Cut(d, size);
}

Err SimProfile::writePrivateProfileString(const char* section, const char* key, const char* value,
                                          const std::string& file) {
    if (!section && !key && !value) return 0;   // flushing: nothing is cached here
    if (!section) return ERROR_INVALID_PARAMETER;
    std::string path = windowsPathOf(file);
    FolderState::Lock lock(state_);
    std::string bytes;
    Err readErr = files_.readFile(path, &bytes);
    if (readErr != 0 && readErr != ERROR_FILE_NOT_FOUND) return readErr;
    IniLines ini(readErr == 0 ? bytes : std::string());
    if (!key) {
        if (!ini.eraseSection(section)) return 0;
    } else if (!value) {
        if (!ini.eraseKey(section, key)) return 0;
    } else {
        ini.set(section, key, value);
    }
    return files_.writeFile(path, ini.text());
}

std::string SimProfile::getProfileString(const char* section, const char* key, const char* def,
                                         std::uint32_t size) {
    return getPrivateProfileString(section, key, def, size, "win.ini");
}

Err SimProfile::writeProfileString(const char* section, const char* key, const char* value) {
    return writePrivateProfileString(section, key, value, "win.ini");
}

}  // namespace plat::sim

#include "platform/sim/machine_state.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

namespace plat::sim {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

std::string FoldCase(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsLeadByte(c) && i + 1 < out.size()) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

std::size_t FindCharAnsi(const std::string& text, char c, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == c) return i;
        if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
    }
    return std::string::npos;
}

std::string TrimBlanks(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t' || text[b] == '\r' || text[b] == '\n')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t' || text[e - 1] == '\r' ||
                     text[e - 1] == '\n'))
        --e;
    return text.substr(b, e - b);
}

std::uint64_t ParseCount(const std::string& text) {
    std::string t = TrimBlanks(text);
    if (t.empty() || t.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::strtoull(t.c_str(), nullptr, 10);
}

bool ReadHostFile(const std::string& hostPath, std::string* bytes) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return false;
    *bytes = ss.str();
    return true;
}

bool WriteFileAtomically(const std::string& hostPath, const std::string& bytes,
                         std::string* error) {
    std::string tmp = hostPath + ".new-" + std::to_string(getpid());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error) *error = hostPath + ": cannot write: " + std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (error) *error = hostPath + ": cannot write: " + std::strerror(errno);
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (::rename(tmp.c_str(), hostPath.c_str()) != 0) {
        if (error) *error = hostPath + ": cannot replace: " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

FileStamp StampOf(const std::string& hostPath) {
    struct stat st;
    FileStamp s;
    if (::stat(hostPath.c_str(), &st) != 0) return s;
    s.inode = st.st_ino;
    s.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.size = st.st_size;
    return s;
}

// ---------------------------------------------------------------------------

FolderState::FolderState(std::string machineDir, std::string mediumDir, std::string programName)
    : machineDir_(std::move(machineDir)),
      mediumDir_(std::move(mediumDir)),
      programName_(std::move(programName)) {}

FolderState::~FolderState() {
    if (lockFd_ >= 0) ::close(lockFd_);
}

FolderState::Lock::Lock(FolderState& state) : state_(state) {
    state_.mutex_.lock();
    if (state_.lockDepth_++ == 0) {
        if (state_.lockFd_ < 0) {
            std::string path = state_.machineDir_ + "/.lock";
            state_.lockFd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        }
        if (state_.lockFd_ >= 0) {
            while (::flock(state_.lockFd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
}

FolderState::Lock::~Lock() {
    if (--state_.lockDepth_ == 0 && state_.lockFd_ >= 0) ::flock(state_.lockFd_, LOCK_UN);
    state_.mutex_.unlock();
}

namespace {

// machine.ini lines: blank, comment (; or #), [Section], key=value.
bool ParseMachineIni(const std::string& path, const std::string& text,
                     std::vector<IniSection>* out, std::string* error) {
    out->clear();
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string t = TrimBlanks(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t[0] == '[') {
            if (t.back() != ']' || t.size() < 3) {
                *error = path + " line " + std::to_string(number) +
                         ": a section header must look like [Name]: " + t;
                return false;
            }
            out->push_back({TrimBlanks(t.substr(1, t.size() - 2)), {}});
            continue;
        }
        std::size_t eq = t.find('=');
        if (eq == std::string::npos || eq == 0) {
            *error = path + " line " + std::to_string(number) +
                     ": expected key=value or [Section]: " + t;
            return false;
        }
        if (out->empty()) {
            *error = path + " line " + std::to_string(number) +
                     ": key=value before the first [Section]: " + t;
            return false;
        }
        out->back().entries.emplace_back(TrimBlanks(t.substr(0, eq)), TrimBlanks(t.substr(eq + 1)));
    }
    return true;
}

std::string FormatMachineIni(const std::vector<IniSection>& sections) {
    std::string out;
    for (const IniSection& s : sections) {
        if (!out.empty()) out += "\n";
        out += "[" + s.name + "]\n";
        for (const auto& [k, v] : s.entries) out += k + "=" + v + "\n";
    }
    return out;
}

}  // namespace

bool FolderState::loadLocked() {
    std::string path = machineDir_ + "/machine.ini";
    FileStamp now = StampOf(path);
    if (loaded_ && now == stamp_) return error_.empty();
    std::string text;
    if (!ReadHostFile(path, &text)) {
        error_ = path + ": cannot read the machine's state file";
        sections_.clear();
        loaded_ = false;
        return false;
    }
    std::vector<IniSection> parsed;
    std::string err;
    if (!ParseMachineIni(path, text, &parsed, &err)) {
        // Keep what was read before; refuse to write over the damaged file.
        error_ = err;
        loaded_ = false;
        return false;
    }
    sections_ = std::move(parsed);
    stamp_ = now;
    loaded_ = true;
    error_.clear();
    return true;
}

bool FolderState::saveLocked() {
    std::string path = machineDir_ + "/machine.ini";
    std::string err;
    if (!WriteFileAtomically(path, FormatMachineIni(sections_), &err)) {
        error_ = err;
        loaded_ = false;
        return false;
    }
    stamp_ = StampOf(path);
    return true;
}

IniSection* FolderState::findSection(const std::string& name) {
    for (IniSection& s : sections_) {
        if (EqualNoCase(s.name, name)) return &s;
    }
    return nullptr;
}

bool FolderState::check(std::string* error) {
    Lock lock(*this);
    loaded_ = false;
    if (!loadLocked()) {
        *error = error_;
        return false;
    }
    return true;
}

std::string FolderState::lastError() {
    Lock lock(*this);
    return error_;
}

std::string FolderState::get(const std::string& section, const std::string& key,
                             const std::string& def) {
    Lock lock(*this);
    loadLocked();
    if (IniSection* s = findSection(section)) {
        for (const auto& [k, v] : s->entries) {
            if (EqualNoCase(k, key)) return v;
        }
    }
    return def;
}

void FolderState::set(const std::string& section, const std::string& key,
                      const std::string& value) {
    Lock lock(*this);
    if (!loadLocked()) return;
    IniSection* s = findSection(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    bool found = false;
    for (auto& [k, v] : s->entries) {
        if (EqualNoCase(k, key)) {
            v = value;
            found = true;
            break;
        }
    }
    if (!found) s->entries.emplace_back(key, value);
    saveLocked();
}

void FolderState::erase(const std::string& section, const std::string& key) {
    Lock lock(*this);
    if (!loadLocked()) return;
    IniSection* s = findSection(section);
    if (!s) return;
    std::size_t before = s->entries.size();
    std::erase_if(s->entries, [&](const auto& e) { return EqualNoCase(e.first, key); });
    if (s->entries.size() != before) saveLocked();
}

std::vector<std::pair<std::string, std::string>> FolderState::section(const std::string& name) {
    Lock lock(*this);
    loadLocked();
    if (IniSection* s = findSection(name)) return s->entries;
    return {};
}

void FolderState::setSection(const std::string& name,
                             const std::vector<std::pair<std::string, std::string>>& entries) {
    Lock lock(*this);
    if (!loadLocked()) return;
    IniSection* s = findSection(name);
    if (!s) {
        if (entries.empty()) return;
        sections_.push_back({name, {}});
        s = &sections_.back();
    }
    s->entries = entries;
    saveLocked();
}

void FolderState::log(const std::string& line) {
    Lock lock(*this);
    std::string path = machineDir_ + "/log.txt";
    // Appending one whole line with O_APPEND is atomic enough for a log:
    // lines of two processes never interleave inside a line.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    std::string text = line + "\n";
    ssize_t n = ::write(fd, text.data(), text.size());
    (void)n;
    ::close(fd);
}

// ---------------------------------------------------------------------------
// Windows paths

namespace {

bool HostExists(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

bool HostIsDir(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The name in `dir` that equals `name` without regard to case.
bool FindNameNoCase(const std::string& dir, const std::string& name, std::string* found) {
    if (HostExists(dir + "/" + name)) {
        *found = name;
        return true;
    }
    DIR* d = ::opendir(dir.c_str());
    if (!d) return false;
    bool ok = false;
    std::string folded = FoldCase(name);
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        if (FoldCase(n) == folded) {
            *found = n;
            ok = true;
            break;
        }
    }
    ::closedir(d);
    return ok;
}

}  // namespace

Err FolderState::resolve(const std::string& windowsPath, ResolvedPath* out) {
    std::string p = windowsPath;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    if (p.empty()) return ERROR_PATH_NOT_FOUND;
    if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') return ERROR_PATH_NOT_FOUND;  // network
    char drive = 'D';   // the current directory is D:\ (the medium's root)
    std::string rest;
    if (p.size() >= 2 && p[1] == ':') {
        drive = static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])));
        rest = p.substr(2);
    } else {
        rest = p;
    }
    std::string root;
    if (drive == 'C') {
        root = machineDir_ + "/C";
    } else if (drive == 'D') {
        root = mediumDir_;
    } else {
        return ERROR_PATH_NOT_FOUND;
    }

    // Split into names; "." and empty names (doubled backslashes) vanish,
    // ".." goes up, trailing dots and blanks are dropped as Windows drops them.
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= rest.size()) {
        std::size_t j = FindCharAnsi(rest, '\\', i);
        if (j == std::string::npos) j = rest.size();
        std::string name = rest.substr(i, j - i);
        i = j + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
        if (name.empty()) continue;
        for (std::size_t k = 0; k < name.size(); ++k) {
            unsigned char c = static_cast<unsigned char>(name[k]);
            if (IsLeadByte(c) && k + 1 < name.size()) {
                ++k;
                continue;
            }
            if (c < 32 || std::strchr("<>:\"|*?", c)) return ERROR_INVALID_NAME;
        }
        parts.push_back(name);
    }

    std::string host = root;
    std::string windows = std::string(1, drive) + ":\\";
    bool existing = HostIsDir(root);
    for (std::size_t k = 0; k < parts.size(); ++k) {
        std::string name = parts[k];
        if (k + 1 == parts.size()) out->parentExists = existing && HostIsDir(host);
        std::string found;
        if (existing && FindNameNoCase(host, name, &found)) {
            name = found;
        } else {
            existing = false;
        }
        host += "/" + name;
        windows += (k ? "\\" : "") + name;
    }
    if (parts.empty()) out->parentExists = existing;
    out->windows = windows;
    out->host = host;
    return 0;
}

std::string FolderState::hostPath(const std::string& windowsPath) {
    ResolvedPath r;
    if (resolve(windowsPath, &r) != 0) return "";
    return r.host;
}

bool FolderState::isHeld(const std::string& windowsPath) {
    ResolvedPath r;
    if (resolve(windowsPath, &r) != 0) return false;
    for (const auto& [k, v] : section("HeldFiles")) {
        ResolvedPath h;
        if (resolve(v, &h) == 0 && EqualNoCase(h.windows, r.windows)) return true;
    }
    return false;
}

}  // namespace plat::sim

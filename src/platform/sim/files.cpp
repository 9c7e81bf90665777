#include "platform/sim/files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/sim/bmp.h"
#include "platform/sim/pe_image.h"

namespace plat::sim {

namespace {

const char kWindowsDir[] = "C:\\WINDOWS";

Err Fit(const std::string& text, std::uint32_t cch, std::string* out) {
    if (text.size() + 1 > cch) return ERROR_INSUFFICIENT_BUFFER;
    *out = text;
    return 0;
}

enum class Kind { Missing, File, Dir };

Kind KindOf(const std::string& host, std::uint64_t* size = nullptr) {
    struct stat st;
    if (::stat(host.c_str(), &st) != 0) return Kind::Missing;
    if (size) *size = static_cast<std::uint64_t>(st.st_size);
    return S_ISDIR(st.st_mode) ? Kind::Dir : Kind::File;
}

// The error for a path that is not there: its folder missing or only the file.
Err MissingError(const ResolvedPath& r) {
    return r.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

bool MatchFrom(const std::string& p, std::size_t pi, const std::string& n, std::size_t ni) {
    while (pi < p.size()) {
        char c = p[pi];
        if (c == '*') {
            while (pi < p.size() && p[pi] == '*') ++pi;
            if (pi == p.size()) return true;
            for (std::size_t k = ni; k <= n.size(); ++k) {
                if (MatchFrom(p, pi, n, k)) return true;
            }
            return false;
        }
        if (ni >= n.size()) return false;
        if (c != '?' && c != n[ni]) return false;
        ++pi;
        ++ni;
    }
    return ni == n.size();
}

}  // namespace

bool MatchesPattern(const std::string& pattern, const std::string& name) {
    std::string p = FoldCase(pattern), n = FoldCase(name);
    if (MatchFrom(p, 0, n, 0)) return true;
    // "name.*" also matches "name" (a name without an extension).
    if (p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 &&
        n.find('.') == std::string::npos)
        return MatchFrom(p.substr(0, p.size() - 2), 0, n, 0);
    return false;
}

SimFiles::SimFiles(FolderState& state, bool ntFamily) : state_(state), nt_(ntFamily) {}

std::string SimFiles::systemDirectory() const {
    return std::string(kWindowsDir) + (nt_ ? "\\system32" : "\\SYSTEM");
}

Err SimFiles::getCurrentDirectory(std::uint32_t cch, std::string* out) { return Fit("D:\\", cch, out); }

Err SimFiles::getModuleFileName(std::uint32_t cch, std::string* out) {
    return Fit("D:\\" + state_.programName(), cch, out);
}

Err SimFiles::getSystemDirectory(std::uint32_t cch, std::string* out) {
    return Fit(systemDirectory(), cch, out);
}

Err SimFiles::getWindowsDirectory(std::uint32_t cch, std::string* out) {
    return Fit(kWindowsDir, cch, out);
}

Err SimFiles::getTempPath(std::uint32_t cch, std::string* out) {
    return Fit(std::string(kWindowsDir) + "\\Temp\\", cch, out);
}

std::uint32_t SimFiles::attributesOf(const ResolvedPath& r, bool isDir) {
    std::string stored = state_.get("Attributes", r.windows);
    std::uint32_t a = isDir ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!stored.empty()) {
        a = static_cast<std::uint32_t>(std::strtoul(stored.c_str(), nullptr, 16));
        if (isDir) a |= FILE_ATTRIBUTE_DIRECTORY;
    }
    return a;
}

void SimFiles::storeAttributes(const std::string& windowsPath, std::uint32_t attributes) {
    if (attributes == FILE_ATTRIBUTE_ARCHIVE || attributes == FILE_ATTRIBUTE_DIRECTORY) {
        if (!state_.get("Attributes", windowsPath).empty()) state_.erase("Attributes", windowsPath);
        return;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", attributes);
    state_.set("Attributes", windowsPath, buf);
}

Err SimFiles::findFirstFile(const std::string& pattern, Handle* find, FindData* data) {
    std::size_t cut = pattern.find_last_of("\\/");
    std::string dirPart = cut == std::string::npos ? "" : pattern.substr(0, cut + 1);
    std::string namePart = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
    if (pattern.size() >= 2 && pattern[1] == ':' && cut == std::string::npos) {
        dirPart = pattern.substr(0, 2);
        namePart = pattern.substr(2);
    }
    if (namePart.empty()) return ERROR_FILE_NOT_FOUND;
    ResolvedPath dir;
    if (Err e = state_.resolve(dirPart.empty() ? "." : dirPart, &dir)) return e;
    if (KindOf(dir.host) != Kind::Dir) return ERROR_PATH_NOT_FOUND;
    bool atRoot = dir.windows.size() == 3;   // "C:\"

    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.host.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string n = e->d_name;
            if (n == "." || n == "..") continue;
            if (n.find(".new-") != std::string::npos) continue;   // a write in progress
            if (MatchesPattern(namePart, n)) names.push_back(n);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::string fa = FoldCase(a), fb = FoldCase(b);
        return fa != fb ? fa < fb : a < b;
    });
    Search s;
    if (!atRoot) {
        for (const char* dot : {".", ".."}) {
            if (MatchesPattern(namePart, dot)) s.entries.push_back({FILE_ATTRIBUTE_DIRECTORY, 0, dot});
        }
    }
    for (const std::string& n : names) {
        FindData fd;
        fd.fileName = n;
        std::uint64_t size = 0;
        bool isDir = KindOf(dir.host + "/" + n, &size) == Kind::Dir;
        ResolvedPath r;
        r.windows = dir.windows + (atRoot ? "" : "\\") + n;
        fd.attributes = attributesOf(r, isDir);
        fd.size = isDir ? 0 : size;
        s.entries.push_back(fd);
    }
    if (s.entries.empty()) return ERROR_FILE_NOT_FOUND;
    *data = s.entries[0];
    s.next = 1;
    std::lock_guard<std::mutex> g(findMutex_);
    Handle h = nextSearch_;
    nextSearch_ += 4;
    searches_[h] = std::move(s);
    *find = h;
    return 0;
}

Err SimFiles::findNextFile(Handle find, FindData* data) {
    std::lock_guard<std::mutex> g(findMutex_);
    auto it = searches_.find(find);
    if (it == searches_.end()) return ERROR_INVALID_HANDLE;
    Search& s = it->second;
    if (s.next >= s.entries.size()) return ERROR_NO_MORE_FILES;
    *data = s.entries[s.next++];
    return 0;
}

Err SimFiles::findClose(Handle find) {
    std::lock_guard<std::mutex> g(findMutex_);
    return searches_.erase(find) ? 0 : ERROR_INVALID_HANDLE;
}

Err SimFiles::createDirectory(const std::string& path) {
    FolderState::Lock lock(state_);
    ResolvedPath r;
    if (Err e = state_.resolve(path, &r)) return e;
    if (KindOf(r.host) != Kind::Missing) return ERROR_ALREADY_EXISTS;
    if (!r.parentExists) return ERROR_PATH_NOT_FOUND;
    if (::mkdir(r.host.c_str(), 0755) != 0) return ERROR_ACCESS_DENIED;
    return 0;
}

Err SimFiles::getFileAttributes(const std::string& path, std::uint32_t* attributes) {
    ResolvedPath r;
    if (Err e = state_.resolve(path, &r)) return e;
    Kind k = KindOf(r.host);
    if (k == Kind::Missing) return MissingError(r);
    *attributes = attributesOf(r, k == Kind::Dir);
    return 0;
}

Err SimFiles::setFileAttributes(const std::string& path, std::uint32_t attributes) {
    FolderState::Lock lock(state_);
    ResolvedPath r;
    if (Err e = state_.resolve(path, &r)) return e;
    Kind k = KindOf(r.host);
    if (k == Kind::Missing) return MissingError(r);
    std::uint32_t a = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_NORMAL);
    if (a & ~FILE_ATTRIBUTE_NORMAL) a &= ~FILE_ATTRIBUTE_NORMAL;
    if (k == Kind::Dir) {
        a = (a & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_DIRECTORY;
    } else if (a == 0) {
        a = FILE_ATTRIBUTE_NORMAL;
    }
    storeAttributes(r.windows, a);
    return 0;
}

Err SimFiles::copyFile(const std::string& from, const std::string& to, bool failIfExists) {
    FolderState::Lock lock(state_);
    ResolvedPath src, dst;
    if (Err e = state_.resolve(from, &src)) return e;
    if (Err e = state_.resolve(to, &dst)) return e;
    Kind sk = KindOf(src.host);
    if (sk == Kind::Missing) return MissingError(src);
    if (sk == Kind::Dir) return ERROR_ACCESS_DENIED;
    if (!dst.parentExists) return ERROR_PATH_NOT_FOUND;
    Kind dk = KindOf(dst.host);
    if (dk == Kind::Dir) return ERROR_ACCESS_DENIED;
    if (dk == Kind::File) {
        if (failIfExists) return ERROR_FILE_EXISTS;
        if (attributesOf(dst, false) & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
        if (state_.isHeld(dst.windows)) return ERROR_SHARING_VIOLATION;
    }
    std::string bytes;
    if (!ReadHostFile(src.host, &bytes)) return ERROR_ACCESS_DENIED;
    if (!WriteFileAtomically(dst.host, bytes, nullptr)) return ERROR_ACCESS_DENIED;
    // The copy takes the source's attributes, as CopyFile gives them.
    storeAttributes(dst.windows, attributesOf(src, false));
    return 0;
}

Err SimFiles::probeFile(const std::string& path) {
    ResolvedPath r;
    if (Err e = state_.resolve(path, &r)) return e;
    if (KindOf(r.host) == Kind::Missing) return MissingError(r);
    return 0;
}

Err SimFiles::deleteFile(const std::string& path) {
    FolderState::Lock lock(state_);
    ResolvedPath r;
    if (Err e = state_.resolve(path, &r)) return e;
    Kind k = KindOf(r.host);
    if (k == Kind::Missing) return MissingError(r);
    if (k == Kind::Dir) return ERROR_ACCESS_DENIED;
    if (attributesOf(r, false) & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
    if (state_.isHeld(r.windows)) return ERROR_SHARING_VIOLATION;
    if (::unlink(r.host.c_str()) != 0) return ERROR_ACCESS_DENIED;
    storeAttributes(r.windows, FILE_ATTRIBUTE_ARCHIVE);
    return 0;
}

Err SimFiles::readFile(const std::string& path, std::string* bytes) {
    ResolvedPath r;
    if (Err e = state_.resolve(path, &r)) return e;
    Kind k = KindOf(r.host);
    if (k == Kind::Missing) return MissingError(r);
    if (k == Kind::Dir) return ERROR_ACCESS_DENIED;
    if (!ReadHostFile(r.host, bytes)) return ERROR_ACCESS_DENIED;
    return 0;
}

Err SimFiles::writeFile(const std::string& path, const std::string& bytes) {
    FolderState::Lock lock(state_);
    ResolvedPath r;
    if (Err e = state_.resolve(path, &r)) return e;
    if (!r.parentExists) return ERROR_PATH_NOT_FOUND;
    Kind k = KindOf(r.host);
    if (k == Kind::Dir) return ERROR_ACCESS_DENIED;
    if (k == Kind::File) {
        if (attributesOf(r, false) & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
        if (state_.isHeld(r.windows)) return ERROR_SHARING_VIOLATION;
    }
    if (!WriteFileAtomically(r.host, bytes, nullptr)) return ERROR_ACCESS_DENIED;
    return 0;
}

Err SimFiles::getFileVersionInfoSize(const std::string& path, std::uint32_t* size) {
    std::vector<std::uint8_t> block;
    if (Err e = getFileVersionInfo(path, &block)) return e;
    *size = static_cast<std::uint32_t>(block.size());
    return 0;
}

Err SimFiles::getFileVersionInfo(const std::string& path, std::vector<std::uint8_t>* block) {
    std::string bytes;
    if (Err e = readFile(path, &bytes)) return e;
    return ExtractVersionBlock(bytes, block);
}

Err SimFiles::loadBitmapFile(const std::string& path, Bitmap* out) {
    std::string bytes;
    if (Err e = readFile(path, &bytes)) return e;
    return ParseBmp(bytes, out);
}

}  // namespace plat::sim

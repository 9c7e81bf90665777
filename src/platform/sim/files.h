// Files on the simulated machine: C: is the machine folder's "C", D: the
// medium. Attributes live in machine.ini [Attributes]; files that another
// program holds open are listed in [HeldFiles].
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/sim/machine_state.h"

namespace plat::sim {

// Whether `name` matches a FindFirstFileA pattern (* and ?, without regard
// to case; "*.*" matches names without a dot as well).
bool MatchesPattern(const std::string& pattern, const std::string& name);

class SimFiles : public Files {
public:
    SimFiles(FolderState& state, bool ntFamily);

    Err getCurrentDirectory(std::uint32_t cch, std::string* out) override;
    Err getModuleFileName(std::uint32_t cch, std::string* out) override;
    Err getSystemDirectory(std::uint32_t cch, std::string* out) override;
    Err getWindowsDirectory(std::uint32_t cch, std::string* out) override;
    Err getTempPath(std::uint32_t cch, std::string* out) override;
    Err findFirstFile(const std::string& pattern, Handle* find, FindData* data) override;
    Err findNextFile(Handle find, FindData* data) override;
    Err findClose(Handle find) override;
    Err createDirectory(const std::string& path) override;
    Err getFileAttributes(const std::string& path, std::uint32_t* attributes) override;
    Err setFileAttributes(const std::string& path, std::uint32_t attributes) override;
    Err copyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    Err probeFile(const std::string& path) override;
    Err deleteFile(const std::string& path) override;
    Err readFile(const std::string& path, std::string* bytes) override;
    Err writeFile(const std::string& path, const std::string& bytes) override;
    Err getFileVersionInfoSize(const std::string& path, std::uint32_t* size) override;
    Err getFileVersionInfo(const std::string& path, std::vector<std::uint8_t>* block) override;
    Err loadBitmapFile(const std::string& path, Bitmap* out) override;

    std::string systemDirectory() const;   // "C:\WINDOWS\system32" or "C:\WINDOWS\SYSTEM"

private:
    std::uint32_t attributesOf(const ResolvedPath& r, bool isDir);
    void storeAttributes(const std::string& windowsPath, std::uint32_t attributes);

    FolderState& state_;
    bool nt_;
    std::mutex findMutex_;
    struct Search {
        std::vector<FindData> entries;
        std::size_t next = 0;
    };
    std::map<Handle, Search> searches_;
    Handle nextSearch_ = 0x2000;
};

}  // namespace plat::sim

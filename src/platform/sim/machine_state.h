// The machine folder behind a simulated machine: machine.ini, log.txt, the
// lock that serialises read-modify-write between processes, atomic file
// replacement, and the mapping of Windows paths onto host files.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_context.h"

namespace plat::sim {

// Case folding as Windows does it for the ANSI code page 936: ASCII letters
// are folded, the two bytes of a double-byte character are left alone (a
// trail byte may look like an ASCII letter or a backslash).
bool IsLeadByte(unsigned char c);
std::string FoldCase(const std::string& text);
bool EqualNoCase(const std::string& a, const std::string& b);
// The position of `c` at a character boundary at or after `from`, or npos.
std::size_t FindCharAnsi(const std::string& text, char c, std::size_t from = 0);
std::string TrimBlanks(const std::string& text);
// A decimal count as machine.ini keeps it; 0 for anything else.
std::uint64_t ParseCount(const std::string& text);

// Whole-file host I/O. WriteFileAtomically writes a new file beside the
// target and renames it over the target, so a reader sees the old or the new
// file, never a torn one.
bool ReadHostFile(const std::string& hostPath, std::string* bytes);
bool WriteFileAtomically(const std::string& hostPath, const std::string& bytes,
                         std::string* error);

// Identity of a file's current content as far as reloading goes: a rename
// gives a new inode, so (inode, mtime, size) changes with every write.
struct FileStamp {
    ino_t inode = 0;
    std::int64_t mtimeNs = -1;
    std::int64_t size = -1;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& hostPath);

// A Windows path resolved against the machine: its canonical Windows form
// (drive letter, single backslashes, names as the folder holds them) and the
// host file it maps to.
struct ResolvedPath {
    std::string windows;   // "C:\WINDOWS\system32\kernel32.dll"
    std::string host;      // "<machine>/C/WINDOWS/system32/kernel32.dll"
    bool parentExists = false;   // the folder that would hold it exists
};

// The parsed machine.ini: sections in file order, keys in file order.
struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

class FolderState : public MachineState {
public:
    FolderState(std::string machineDir, std::string mediumDir, std::string programName);
    ~FolderState() override;

    // MachineState
    std::string get(const std::string& section, const std::string& key,
                    const std::string& def = "") override;
    void set(const std::string& section, const std::string& key,
             const std::string& value) override;
    void erase(const std::string& section, const std::string& key) override;
    std::vector<std::pair<std::string, std::string>> section(const std::string& name) override;
    void log(const std::string& line) override;
    std::string hostPath(const std::string& windowsPath) override;
    bool isHeld(const std::string& windowsPath) override;

    const std::string& machineDir() const { return machineDir_; }
    const std::string& mediumDir() const { return mediumDir_; }
    const std::string& programName() const { return programName_; }

    // Parses machine.ini; false with "…/machine.ini line N: …" when damaged
    // or missing.
    bool check(std::string* error);
    // The last problem met while reading or writing machine.ini ("" none).
    std::string lastError();

    // Resolves a Windows path. Unknown drive or a network path:
    // ERROR_PATH_NOT_FOUND; characters Windows refuses in names:
    // ERROR_INVALID_NAME.
    Err resolve(const std::string& windowsPath, ResolvedPath* out);

    // Replace a whole section in one step (used for [HeldFiles], [Windows]).
    void setSection(const std::string& name,
                    const std::vector<std::pair<std::string, std::string>>& entries);

    // Holds the machine's lock: one process (and one thread) at a time does
    // read-modify-write on the machine's files. Re-entrant in one thread.
    class Lock {
    public:
        explicit Lock(FolderState& state);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        FolderState& state_;
    };

private:
    bool loadLocked();                 // refresh the cache from disk
    bool saveLocked();                 // write the cache to disk
    IniSection* findSection(const std::string& name);

    std::string machineDir_, mediumDir_, programName_;
    std::recursive_mutex mutex_;
    int lockDepth_ = 0;
    int lockFd_ = -1;
    FileStamp stamp_;
    bool loaded_ = false;
    std::vector<IniSection> sections_;
    std::string error_;
};

}  // namespace plat::sim

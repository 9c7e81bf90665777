// The simulated machine's registry: registry.reg in the machine folder, in
// REGEDIT4 text, read again whenever another process has replaced it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/machine_state.h"

namespace plat::sim {

struct RegValue {
    std::string name;          // "" is the key's default value
    std::uint32_t type = REG_NONE;
    std::vector<std::uint8_t> data;
};

struct RegNode {
    std::string name;                                     // as created
    std::map<std::string, std::unique_ptr<RegNode>> children;   // by folded name: sorted
    std::vector<RegValue> values;                          // in the order they were set
};

// The whole registry: one tree per predefined root.
struct RegTree {
    std::map<HKey, RegNode> roots;
};

const char* RootName(HKey root);   // "HKEY_LOCAL_MACHINE", or null for a non-root
// REGEDIT4 text and back. Parse errors name the file and the line.
std::string FormatRegistry(const RegTree& tree);
bool ParseRegistry(const std::string& fileName, const std::string& text, RegTree* tree,
                   std::string* error);

class SimRegistry : public Registry {
public:
    // `ntFamily`: whether deleteKey refuses keys with sub-keys.
    SimRegistry(FolderState& state, bool ntFamily);

    Err openKey(HKey root, const std::string& subKey, std::uint32_t sam, HKey* out) override;
    Err createKey(HKey root, const std::string& subKey, std::uint32_t sam, HKey* out,
                  std::uint32_t* disposition) override;
    Err closeKey(HKey key) override;
    Err queryValue(HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                   std::uint32_t* size) override;
    Err setValue(HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                 std::uint32_t size) override;
    Err deleteValue(HKey key, const char* name) override;
    Err deleteKey(HKey root, const std::string& subKey) override;
    Err enumKey(HKey key, std::uint32_t index, std::string* name) override;
    Err enumValue(HKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                  std::vector<std::uint8_t>* data) override;

    // Whether registry.reg reads cleanly; the error names the file and line.
    bool check(std::string* error);

private:
    struct Location {
        HKey root = 0;
        std::vector<std::string> path;   // names as the tree holds them
    };
    bool load(std::string* error);       // under the machine lock
    bool save();
    Err locate(HKey key, Location* out); // a root or an open handle
    RegNode* find(const Location& loc);
    // Under the lock: the tree as on disk, and the key that `key` names.
    Err nodeOf(HKey key, Location* loc, RegNode** node);
    HKey newHandle(const Location& loc);

    FolderState& state_;
    bool nt_;
    std::mutex handlesMutex_;
    std::map<HKey, Location> handles_;
    HKey nextHandle_ = 0x1000;
    RegTree tree_;
    FileStamp stamp_;
    bool loaded_ = false;
};

}  // namespace plat::sim

// Private-profile files on the simulated machine, with the lookup rules of
// GetPrivateProfileStringA and the editing rules of WritePrivateProfileStringA.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/sim/machine_state.h"

namespace plat::sim {

// INI text as lines, for lookups and edits that keep every other line as it
// was (comments, blank lines, line ends, bytes of any code page).
class IniLines {
public:
    explicit IniLines(const std::string& text);
    std::string text() const;

    // The value of the first matching key in the first matching section,
    // trimmed and without one pair of enclosing quotes.
    bool lookup(const std::string& section, const std::string& key, std::string* value) const;
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(const std::string& section) const;

    void set(const std::string& section, const std::string& key, const std::string& value);
    bool eraseKey(const std::string& section, const std::string& key);
    bool eraseSection(const std::string& section);

private:
    struct Line {
        std::string text;
        std::string end;   // "\r\n", "\n" or "" on a last line without one
    };
    static bool sectionName(const std::string& line, std::string* name);
    static bool keyOf(const std::string& line, std::string* key, std::string* value);
    // [begin, end) of the body of the first section with that name; begin is
    // the header line. False when there is no such section.
    bool findSection(const std::string& section, std::size_t* begin, std::size_t* end) const;

    std::vector<Line> lines_;
    std::string newline_ = "\r\n";
};

class SimProfile : public Profile {
public:
    SimProfile(FolderState& state, Files& files);

    std::string getPrivateProfileString(const char* section, const char* key, const char* def,
                                        std::uint32_t size, const std::string& file) override;
    Err writePrivateProfileString(const char* section, const char* key, const char* value,
                                  const std::string& file) override;
    std::string getProfileString(const char* section, const char* key, const char* def,
                                 std::uint32_t size) override;
    Err writeProfileString(const char* section, const char* key, const char* value) override;

private:
    std::string windowsPathOf(const std::string& file);

    FolderState& state_;
    Files& files_;
};

}  // namespace plat::sim

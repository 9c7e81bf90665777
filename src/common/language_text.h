// The language-file reader: every text the user sees is looked up by section
// and key in language\setup.ini (the setup) or language\uninstall.ini (the
// uninstaller), under the process's current directory.
#pragma once

#include <string>

namespace common {

enum class TextProgram {
    Setup,       // language\setup.ini, values cut to 2047 bytes, markers \1 \2 \3
    Uninstall,   // language\uninstall.ini, values cut to 1023 bytes, marker \n
};

class LanguageText {
public:
    // The program is chosen once at start-up (the default is Setup).
    static void SetProgram(TextProgram program);
    static TextProgram Program();

    explicit LanguageText(const char* section);
    virtual ~LanguageText();

    // The text of `key` in this object's section, with the line-break
    // markers replaced by CR LF; "" for a missing file, section or key.
    // Each lookup returns its own text, so a text stays valid while its
    // caller uses it, whatever other lookups (or threads) do meanwhile.
    std::string GetText(const char* key) const;

    const std::string& FilePath() const { return filePath_; }

private:
    TextProgram program_;   // the program when the object was made
    std::string filePath_;
    std::string section_;
};

// The program-wide reader for section "Message".
LanguageText& messageText();

}  // namespace common

#include "common/language_text.h"

#include <mutex>

#include "common/profile_read.h"
#include "common/sys.h"

namespace common {
namespace {

TextProgram g_program = TextProgram::Setup;

// The longest current directory the path is built from (GetCurrentDirectoryA
// into 260 characters), and the longest path the file name may make.
constexpr std::uint32_t kMaxPath = 260;

// The setup reads values into 2048 bytes, the uninstaller into 1024.
std::uint32_t BufferSize(TextProgram program) {
    return program == TextProgram::Setup ? 2048 : 1024;
}

const char* FileName(TextProgram program) {
    return program == TextProgram::Setup ? "language\\setup.ini" : "language\\uninstall.ini";
}

// Replaces the first occurrence of a two-byte marker by CR LF.
void ReplaceFirst(std::string& text, const char* marker) {
    std::string::size_type at = text.find(marker, 0, 2);
    if (at == std::string::npos) return;
    text[at] = '\r';
    text[at + 1] = '\n';
}

}  // namespace

void LanguageText::SetProgram(TextProgram program) { g_program = program; }
TextProgram LanguageText::Program() { return g_program; }

LanguageText::LanguageText(const char* section) : program_(g_program) {
    std::string name = section ? section : "";
    // The setup keeps a copy of at most 255 characters.
    if (program_ == TextProgram::Setup && name.size() > 255) name.resize(255);
    section_ = name;

    // The language file lies under the current directory, not the program's.
    // A current directory that does not fit leaves the path empty, and every
    // lookup then reads as a missing file.
    std::string dir;
    if (Sys().files().getCurrentDirectory(kMaxPath, &dir) != 0) return;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    std::string path = dir + FileName(program_);
    if (path.size() >= kMaxPath) return;
    filePath_ = path;
}

LanguageText::~LanguageText() = default;

std::string LanguageText::GetText(const char* key) const {
    std::string text = ReadProfileText(section_, key, "", BufferSize(program_), filePath_);
    if (program_ == TextProgram::Setup) {
        ReplaceFirst(text, "\\1");
        ReplaceFirst(text, "\\2");
        ReplaceFirst(text, "\\3");
    } else {
        ReplaceFirst(text, "\\n");
    }
    return text;
}

LanguageText& messageText() {
    // One reader per program, so that a test process may use both. The
    // reader is made on first use, which may come from either thread.
    static std::mutex made;
    static LanguageText* setupText = nullptr;
    static LanguageText* uninstallText = nullptr;
    std::lock_guard<std::mutex> lock(made);
    LanguageText*& text = g_program == TextProgram::Setup ? setupText : uninstallText;
    if (!text) text = new LanguageText("Message");
    return *text;
}

}  // namespace common

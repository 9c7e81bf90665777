#include "ui/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif
#include <mutex>

namespace ui {
namespace {

std::mutex codePageLock;
std::string codePage = "GBK";

#ifdef _WIN32
// The Windows names of the code pages the programs use.
unsigned WindowsCodePage(const std::string& name) {
    if (name == "GBK" || name == "CP936" || name == "GB2312") return 936;
    if (name == "UTF-8") return CP_UTF8;
    if (name == "CP1252" || name == "WINDOWS-1252") return 1252;
    return CP_ACP;
}

unsigned CodePageNumber(const std::string& name) { return name == "UTF-8" ? CP_UTF8 : WindowsCodePage(name); }

bool Convert(const std::string& from, const std::string& to, const std::string& in, const char* bad,
             std::string* out) {
    unsigned cpFrom = CodePageNumber(from), cpTo = CodePageNumber(to);
    DWORD strict = bad ? 0 : MB_ERR_INVALID_CHARS;
    int n = MultiByteToWideChar(cpFrom, strict, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0) {
        *out = in;
        return false;
    }
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(cpFrom, strict, in.data(), static_cast<int>(in.size()), w.data(), n);
    int m = WideCharToMultiByte(cpTo, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
    out->assign(static_cast<std::size_t>(m), '\0');
    WideCharToMultiByte(cpTo, 0, w.data(), n, out->data(), m, nullptr, nullptr);
    return true;
}
#else
// Converts with iconv; on an unconvertible byte writes `bad` and skips one
// input byte (or gives up when `bad` is empty). Returns false when it gave up.
bool Convert(const std::string& from, const std::string& to, const std::string& in, const char* bad,
             std::string* out) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        *out = in;
        return false;
    }
    out->clear();
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[256];
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out->append(buf, dst - buf);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            if (bad == nullptr) {
                ok = false;
                break;
            }
            out->append(bad);
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return ok;
}

#endif

std::string CodePage() {
    std::lock_guard<std::mutex> g(codePageLock);
    return codePage;
}

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

void SetAnsiCodePage(const std::string& iconvName) {
    std::lock_guard<std::mutex> g(codePageLock);
    codePage = iconvName;
}

std::string AnsiToUtf8(const std::string& ansi) {
    if (IsAscii(ansi)) return ansi;
    std::string out;
    Convert(CodePage(), "UTF-8", ansi, "?", &out);
    return out;
}

std::string Utf8ToAnsi(const std::string& utf8) {
    if (IsAscii(utf8)) return utf8;
    std::string out;
    if (!Convert("UTF-8", CodePage(), utf8, nullptr, &out)) return utf8;
    return out;
}

std::string OneLine(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
            out += "\\n";
        } else if (s[i] == '\n') {
            out += "\\n";
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\r') {
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
            out += "\\n";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace ui

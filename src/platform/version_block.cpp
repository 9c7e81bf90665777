// Walking a VS_VERSIONINFO block. Every node of the block has the same
// shape: wLength, wValueLength, wType, a zero-terminated UTF-16 key, padding
// to a 4-byte boundary, the value, padding, and the child nodes up to
// wLength. Offsets are checked against the block, so a damaged block gives
// "not there" rather than a read past its end.
#include "platform/version_block.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <strings.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace plat {
namespace {

struct Node {
    std::size_t end = 0;          // one past the node (bounded by its parent)
    std::u16string key;
    std::size_t valueOffset = 0;
    std::size_t valueBytes = 0;
    bool text = false;
    std::size_t childrenOffset = 0;
};

std::uint16_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::size_t Align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

// Reads the node at `at`, which must end by `limit`.
bool ReadNode(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t limit, Node* n) {
    if (at + 6 > limit) return false;
    std::size_t length = Word(b, at);
    if (length < 6 || at + length > limit) return false;
    n->end = at + length;
    std::size_t valueLength = Word(b, at + 2);
    n->text = Word(b, at + 4) == 1;
    n->key.clear();
    std::size_t p = at + 6;
    for (;; p += 2) {
        if (p + 2 > n->end) return false;
        char16_t c = Word(b, p);
        if (c == 0) break;
        n->key.push_back(c);
    }
    n->valueOffset = Align4(p + 2);
    // Text values count characters, binary values bytes.
    std::size_t bytes = n->text ? valueLength * 2 : valueLength;
    if (n->valueOffset > n->end) n->valueOffset = n->end;
    n->valueBytes = std::min(bytes, n->end - n->valueOffset);
    n->childrenOffset = Align4(n->valueOffset + bytes);
    return true;
}

char16_t Fold(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

bool SameKey(const std::u16string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

// Finds the node that the backslash-separated path names; the root for "\".
bool Find(const std::vector<std::uint8_t>& block, const std::string& path, Node* found) {
    Node node;
    if (!ReadNode(block, 0, block.size(), &node)) return false;
    std::size_t pos = 0;
    while (pos < path.size()) {
        if (path[pos] == '\\') {
            ++pos;
            continue;
        }
        std::size_t slash = path.find('\\', pos);
        if (slash == std::string::npos) slash = path.size();
        std::string part = path.substr(pos, slash - pos);
        pos = slash;
        bool matched = false;
        for (std::size_t at = node.childrenOffset; at + 6 <= node.end;) {
            Node child;
            if (!ReadNode(block, at, node.end, &child)) return false;
            if (SameKey(child.key, part)) {
                node = child;
                matched = true;
                break;
            }
            at = Align4(child.end);
        }
        if (!matched) return false;
    }
    *found = node;
    return true;
}

}  // namespace

bool verQueryValue(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                   std::vector<std::uint8_t>* value) {
    Node node;
    if (!Find(block, subBlock, &node)) return false;
    if (node.valueBytes == 0 && !node.text) return false;
    value->assign(block.begin() + static_cast<std::ptrdiff_t>(node.valueOffset),
                  block.begin() + static_cast<std::ptrdiff_t>(node.valueOffset + node.valueBytes));
    return true;
}

bool verQueryString(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                    std::string* value) {
    Node node;
    if (!Find(block, subBlock, &node)) return false;
    // Some resource compilers mark strings as binary (wType 0); what lies
    // under StringFileInfo is text all the same, as VerQueryValueA treats it.
    std::size_t first = subBlock.find_first_not_of('\\');
    bool underStrings = first != std::string::npos && subBlock.size() - first >= 14 &&
                        strncasecmp(subBlock.c_str() + first, "StringFileInfo", 14) == 0;
    if (!node.text && !underStrings) return false;
    std::u16string text;
    for (std::size_t p = node.valueOffset; p + 2 <= node.valueOffset + node.valueBytes; p += 2) {
        char16_t c = Word(block, p);
        if (c == 0) break;
        text.push_back(c);
    }
    *value = utf16ToAnsi(text);
    return true;
}

#ifdef _WIN32

std::string utf16ToAnsi(const std::u16string& text) {
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    int n = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), out.data(), n,
                            nullptr, nullptr);
    }
    return out;
}

std::u16string ansiToUtf16(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n > 0 ? n : 0), u'\0');
    if (n > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                            reinterpret_cast<wchar_t*>(out.data()), n);
    }
    return out;
}

#else

namespace {

// One conversion with iconv, character by character past anything that
// does not convert, which becomes '?' (or U+003F).
std::string Convert(const char* to, const char* from, const char* in, std::size_t inBytes,
                    std::size_t unit, const std::string& replacement) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter: keep ASCII, replace the rest.
        for (std::size_t i = 0; i + unit <= inBytes; i += unit) {
            unsigned v = static_cast<unsigned char>(in[i]);
            if (unit == 2) v |= static_cast<unsigned>(static_cast<unsigned char>(in[i + 1])) << 8;
            if (v >= 0x80) {
                out += replacement;
            } else if (unit == 2) {
                out.push_back(static_cast<char>(v));   // to single bytes
            } else {
                out.push_back(static_cast<char>(v));   // to UTF-16LE
                out.push_back('\0');
            }
        }
        return out;
    }
    char* src = const_cast<char*>(in);
    std::size_t left = inBytes;
    char buffer[256];
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        std::size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An invalid or incomplete sequence: one unit becomes the replacement.
            std::size_t skip = std::min(unit, left);
            src += skip;
            left -= skip;
            out += replacement;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string utf16ToAnsi(const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return Convert("GBK", "UTF-16LE", bytes.data(), bytes.size(), 2, "?");
}

std::u16string ansiToUtf16(const std::string& text) {
    std::string bytes = Convert("UTF-16LE", "GBK", text.data(), text.size(), 1,
                                std::string("?\0", 2));
    std::u16string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return out;
}

#endif

}  // namespace plat

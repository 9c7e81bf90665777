#include "common/profile_read.h"

#include <climits>
#include <cstring>

#include "common/sys.h"

namespace common {

std::string ReadProfileText(const std::string& section, const char* key, const char* def,
                            std::uint32_t size, const std::string& file) {
    if (size == 0) return {};
    if (file.empty() || section.empty() || key == nullptr) {
        std::string value = def ? def : "";
        if (value.size() > size - 1) value.resize(size - 1);
        return value;
    }
    return Sys().profile().getPrivateProfileString(section.c_str(), key, def ? def : "", size,
                                                   file);
}

int TextToInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int ReadProfileInt(const std::string& section, const char* key, const std::string& file) {
    return TextToInt(ReadProfileText(section, key, "0", 200, file));
}

void CopyText(char* field, std::size_t size, const std::string& text) {
    if (size == 0) return;
    std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

}  // namespace common

#include "platform/sim/pe_declarations.h"

namespace plat::sim {

bool FindDeclaration(const std::string& fileBytes, const std::string& key, std::string* value) {
    const std::string prefix = key + "=";
    for (std::size_t at = 0; at < fileBytes.size();) {
        std::size_t end = fileBytes.find('\n', at);
        if (end == std::string::npos) end = fileBytes.size();
        if (fileBytes.compare(at, prefix.size(), prefix) == 0 && end - at >= prefix.size()) {
            *value = fileBytes.substr(at + prefix.size(), end - at - prefix.size());
            if (!value->empty() && value->back() == '\r') value->pop_back();
            return true;
        }
        at = end + 1;
    }
    return false;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t comma = text.find(',', at);
        if (comma == std::string::npos) comma = text.size();
        std::string item = text.substr(at, comma - at);
        std::size_t first = item.find_first_not_of(" \t");
        std::size_t last = item.find_last_not_of(" \t");
        if (first != std::string::npos) items.push_back(item.substr(first, last - first + 1));
        at = comma + 1;
    }
    return items;
}

}  // namespace plat::sim

// mkpe OUT --version 1.0.0.6 [--product TEXT] [--description TEXT]
//          [--language HEX] [--codepage HEX] [--trailer-file F | --trailer TEXT]
//
// Writes a small PE32 DLL image carrying a version resource, followed by the
// trailer (the plain-text declarations the simulated machine reads, such as
// "SIM-PORTS=KSCOM1:,KSCOM2:"). The file is written to OUT.tmp and renamed.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sim/pe_image.h"

namespace {

int Usage(const char* why) {
    std::fprintf(stderr,
                 "mkpe: %s\n"
                 "usage: mkpe OUT --version A.B.C.D [--product TEXT] [--description TEXT]\n"
                 "            [--language HEX] [--codepage HEX]\n"
                 "            [--trailer-file FILE | --trailer TEXT]\n",
                 why);
    return 2;
}

bool ParseHex16(const char* text, std::uint16_t* out) {
    char* end = nullptr;
    unsigned long v = std::strtoul(text, &end, 16);
    if (end == text || *end != '\0' || v > 0xFFFF) return false;
    *out = static_cast<std::uint16_t>(v);
    return true;
}

bool IsVersion(const std::string& v) {
    int dots = 0;
    bool digit = false;
    for (char c : v) {
        if (c == '.') {
            if (!digit) return false;
            ++dots;
            digit = false;
        } else if (c >= '0' && c <= '9') {
            digit = true;
        } else {
            return false;
        }
    }
    return digit && dots <= 3;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage("no output file");
    std::string out = argv[1];
    plat::sim::VersionFields fields;
    std::string trailer;
    bool haveTrailer = false;
    for (int i = 2; i < argc; ++i) {
        std::string opt = argv[i];
        if (i + 1 >= argc) return Usage(("missing value for " + opt).c_str());
        const char* value = argv[++i];
        if (opt == "--version") {
            fields.fileVersion = value;
        } else if (opt == "--product") {
            fields.productName = value;
        } else if (opt == "--description") {
            fields.fileDescription = value;
        } else if (opt == "--language") {
            if (!ParseHex16(value, &fields.language)) return Usage("bad --language");
        } else if (opt == "--codepage") {
            if (!ParseHex16(value, &fields.codePage)) return Usage("bad --codepage");
        } else if (opt == "--trailer" || opt == "--trailer-file") {
            if (haveTrailer) return Usage("only one of --trailer and --trailer-file");
            haveTrailer = true;
            if (opt == "--trailer") {
                trailer = value;
            } else {
                std::ifstream in(value, std::ios::binary);
                if (!in) {
                    std::fprintf(stderr, "mkpe: cannot read %s\n", value);
                    return 1;
                }
                std::ostringstream bytes;
                bytes << in.rdbuf();
                trailer = bytes.str();
            }
        } else {
            return Usage(("unknown option " + opt).c_str());
        }
    }
    if (fields.fileVersion.empty()) return Usage("--version is required");
    if (!IsVersion(fields.fileVersion)) return Usage("--version must be like 1.0.0.6");
    // The declarations are read line by line: start them on a line of their own.
    if (!trailer.empty() && trailer.front() != '\n') trailer.insert(trailer.begin(), '\n');
    if (!trailer.empty() && trailer.back() != '\n') trailer.push_back('\n');

    std::string image = plat::sim::BuildPeWithVersion(fields, trailer);
    std::string tmp = out + ".tmp";
    {
        std::ofstream file(tmp, std::ios::binary | std::ios::trunc);
        file.write(image.data(), static_cast<std::streamsize>(image.size()));
        if (!file) {
            std::fprintf(stderr, "mkpe: cannot write %s\n", tmp.c_str());
            std::remove(tmp.c_str());
            return 1;
        }
    }
    if (std::rename(tmp.c_str(), out.c_str()) != 0) {
        std::fprintf(stderr, "mkpe: cannot rename %s to %s: %s\n", tmp.c_str(), out.c_str(),
                     std::strerror(errno));
        std::remove(tmp.c_str());
        return 1;
    }
    return 0;
}

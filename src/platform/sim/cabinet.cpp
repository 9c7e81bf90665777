// Cabinet iteration on the simulated machine, read with libmspack. Each file
// that the callback wants goes through the machine's file service, so a
// read-only or held target fails as a copy would.
#include <mspack.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/sim/sim_parts.h"

namespace plat::sim {
namespace {

// libmspack hands out names that are not flagged UTF-8 as UTF-8 converted
// from ISO-8859-1; undo that to get the cabinet's own bytes back.
std::string CabinetName(const mscabd_file* f) {
    std::string name = f->filename ? f->filename : "";
    if (f->attribs & MSCAB_ATTRIB_UTF_NAME) return name;
    std::string bytes;
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if ((c & 0xE0) == 0xC0 && i + 1 < name.size()) {
            bytes.push_back(static_cast<char>(((c & 0x1F) << 6) | (name[i + 1] & 0x3F)));
            ++i;
        } else {
            bytes.push_back(static_cast<char>(c));
        }
    }
    return bytes;
}

class ScratchFile {
public:
    ScratchFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "simcab-XXXXXX").string();
        int fd = mkstemp(pattern.data());
        if (fd >= 0) {
            close(fd);
            path_ = pattern;
        }
    }
    ~ScratchFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct Decompressor {
    mscab_decompressor* d = mspack_create_cab_decompressor(nullptr);
    mscabd_cabinet* cab = nullptr;
    ~Decompressor() {
        if (d && cab) d->close(d, cab);
        if (d) mspack_destroy_cab_decompressor(d);
    }
};

class SimCabinets : public Cabinets {
public:
    explicit SimCabinets(SimContext& ctx) : c_(ctx) {}

    Err iterateCabinet(const std::string& cabinetPath, const FileCallback& onFile) override {
        std::uint32_t attributes = 0;
        if (Err err = c_.files.getFileAttributes(cabinetPath, &attributes)) return err;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ERROR_ACCESS_DENIED;
        Decompressor dec;
        if (!dec.d) return ERROR_NOT_ENOUGH_MEMORY;
        std::string host = c_.state.hostPath(cabinetPath);
        dec.cab = dec.d->open(dec.d, host.c_str());
        if (!dec.cab) return ERROR_INVALID_DATA;
        for (mscabd_file* f = dec.cab->files; f; f = f->next) {
            std::string target;
            if (onFile(CabinetName(f), f->length, &target) != CabFileAction::Copy) continue;
            ScratchFile scratch;
            if (scratch.path().empty()) return ERROR_NOT_ENOUGH_MEMORY;
            if (dec.d->extract(dec.d, f, scratch.path().c_str()) != MSPACK_ERR_OK) return ERROR_INVALID_DATA;
            std::ifstream in(scratch.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            if (Err err = c_.files.writeFile(target, bytes.str())) return err;
        }
        return ERROR_SUCCESS;
    }

private:
    SimContext& c_;
};

}  // namespace

std::unique_ptr<Cabinets> MakeSimCabinets(SimContext& ctx) { return std::make_unique<SimCabinets>(ctx); }

}  // namespace plat::sim

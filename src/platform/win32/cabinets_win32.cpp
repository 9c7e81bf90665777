// Cabinets through SetupIterateCabinetA: its notifications are turned into
// the caller's decision per file (copy to a path, or skip).
#include <windows.h>
// after windows.h, which it needs
#include <setupapi.h>

#include <cstring>

#include "platform/win32/win32_parts.h"
#include "platform/win32/win32_util.h"

namespace plat::win32 {
namespace {

struct IterationState {
    const Cabinets::FileCallback* onFile;
    Err failure = 0;  // the first error seen inside the callback
};

UINT Abort(IterationState* state, Err e) {
    if (!state->failure) state->failure = e;
    SetLastError(e);
    return FILEOP_ABORT;
}

UINT CALLBACK OnNotify(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
    auto* state = static_cast<IterationState*>(context);
    switch (notification) {
        case SPFILENOTIFY_FILEINCABINET: {
            auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
            std::string target;
            CabFileAction action = CabFileAction::Skip;
            try {
                action = (*state->onFile)(Owned(info->NameInCabinet), info->FileSize, &target);
            } catch (...) {
                // Nothing may unwind through the system's callback.
                return Abort(state, ERROR_NOT_ENOUGH_MEMORY);
            }
            if (action == CabFileAction::Skip) return FILEOP_SKIP;
            if (target.empty()) return Abort(state, ERROR_INVALID_PARAMETER);
            if (target.size() >= sizeof info->FullTargetName) {
                return Abort(state, ERROR_FILENAME_EXCED_RANGE);
            }
            std::memcpy(info->FullTargetName, target.c_str(), target.size() + 1);
            return FILEOP_DOIT;
        }
        case SPFILENOTIFY_FILEEXTRACTED: {
            // A file that could not be written fails the whole iteration
            // rather than passing for extracted.
            const auto* paths = reinterpret_cast<const FILEPATHS_A*>(param1);
            if (paths->Win32Error != NO_ERROR) {
                if (!state->failure) state->failure = paths->Win32Error;
                return paths->Win32Error;
            }
            return NO_ERROR;
        }
        case SPFILENOTIFY_NEEDNEWCABINET:
            // Cabinet sets that span several files are not ours to follow.
            if (!state->failure) state->failure = ERROR_FILE_NOT_FOUND;
            return ERROR_FILE_NOT_FOUND;
        default:
            return NO_ERROR;
    }
}

class Win32Cabinets final : public Cabinets {
public:
    Err iterateCabinet(const std::string& cabinetPath, const FileCallback& onFile) override {
        IterationState state{&onFile};
        if (SetupIterateCabinetA(cabinetPath.c_str(), 0, OnNotify, &state)) {
            return state.failure;
        }
        return state.failure ? state.failure : LastError();
    }
};

}  // namespace

std::unique_ptr<Cabinets> MakeCabinets() { return std::make_unique<Win32Cabinets>(); }

}  // namespace plat::win32

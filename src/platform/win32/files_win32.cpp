// Files and the well-known folders through the ANSI file calls; version
// resources through version.dll; bitmaps through LoadImageA.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_parts.h"
#include "platform/win32/win32_util.h"

namespace plat::win32 {
namespace {

void CopyFindData(const WIN32_FIND_DATAA& w, FindData* out) {
    if (!out) return;
    out->attributes = w.dwFileAttributes;
    out->size = (static_cast<std::uint64_t>(w.nFileSizeHigh) << 32) | w.nFileSizeLow;
    out->fileName = w.cFileName;
}

// An open file handle that closes itself.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (valid()) CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// Width, height and depth from the BITMAPCOREHEADER or BITMAPINFOHEADER that
// follows the 14-byte file header.
bool BitmapHeader(const std::string& b, Bitmap* out) {
    if (b.size() < 26) return false;
    if (Le(b, 14, 4) == 12) {
        out->width = static_cast<int>(Le(b, 18, 2));
        out->height = static_cast<int>(Le(b, 20, 2));
        out->bitsPerPixel = static_cast<int>(Le(b, 24, 2));
        return true;
    }
    if (b.size() < 30) return false;
    const auto height = static_cast<std::int32_t>(Le(b, 22, 4));
    out->width = static_cast<int>(static_cast<std::int32_t>(Le(b, 18, 4)));
    out->height = static_cast<int>(height < 0 ? -static_cast<std::int64_t>(height) : height);
    out->bitsPerPixel = static_cast<int>(Le(b, 28, 2));
    return true;
}

class Win32Files final : public Files {
public:
    Err getCurrentDirectory(std::uint32_t cch, std::string* out) override {
        return FetchString(cch, out, [](LPSTR b, DWORD n) { return GetCurrentDirectoryA(n, b); });
    }

    Err getModuleFileName(std::uint32_t cch, std::string* out) override {
        // A path cut to the buffer comes back with the full buffer's length.
        return FetchString(cch, out,
                           [](LPSTR b, DWORD n) { return GetModuleFileNameA(nullptr, b, n); });
    }

    Err getSystemDirectory(std::uint32_t cch, std::string* out) override {
        return FetchString(cch, out, [](LPSTR b, DWORD n) { return GetSystemDirectoryA(b, n); });
    }

    Err getWindowsDirectory(std::uint32_t cch, std::string* out) override {
        return FetchString(cch, out, [](LPSTR b, DWORD n) { return GetWindowsDirectoryA(b, n); });
    }

    Err getTempPath(std::uint32_t cch, std::string* out) override {
        return FetchString(cch, out, [](LPSTR b, DWORD n) { return GetTempPathA(n, b); });
    }

    Err findFirstFile(const std::string& pattern, Handle* find, FindData* data) override {
        WIN32_FIND_DATAA w{};
        const HANDLE h = FindFirstFileA(pattern.c_str(), &w);
        if (h == INVALID_HANDLE_VALUE) return LastErrorOr(ERROR_FILE_NOT_FOUND);
        *find = ToHandle(h);
        CopyFindData(w, data);
        return 0;
    }

    Err findNextFile(Handle find, FindData* data) override {
        WIN32_FIND_DATAA w{};
        if (!FindNextFileA(FromHandle<HANDLE>(find), &w)) return LastErrorOr(ERROR_NO_MORE_FILES);
        CopyFindData(w, data);
        return 0;
    }

    Err findClose(Handle find) override {
        return Checked([&] { return FindClose(FromHandle<HANDLE>(find)); });
    }

    Err createDirectory(const std::string& path) override {
        return Checked([&] { return CreateDirectoryA(path.c_str(), nullptr); });
    }

    Err getFileAttributes(const std::string& path, std::uint32_t* attributes) override {
        const DWORD a = GetFileAttributesA(path.c_str());
        if (a == INVALID_FILE_ATTRIBUTES) return LastErrorOr(ERROR_FILE_NOT_FOUND);
        *attributes = a;
        return 0;
    }

    Err setFileAttributes(const std::string& path, std::uint32_t attributes) override {
        return Checked([&] { return SetFileAttributesA(path.c_str(), attributes); });
    }

    Err copyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        return Checked(
            [&] { return CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE); });
    }

    Err probeFile(const std::string& path) override {
        FileHandle f(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
        if (!f.valid()) return LastError();
        return 0;
    }

    Err deleteFile(const std::string& path) override {
        return Checked([&] { return DeleteFileA(path.c_str()); });
    }

    Err readFile(const std::string& path, std::string* bytes) override {
        FileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f.valid()) return LastError();
        DWORD high = 0;
        const DWORD low = GetFileSize(f.get(), &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return LastError();
        if (high != 0 || low > 0x7FFFFFFFu) return ERROR_NOT_ENOUGH_MEMORY;
        std::string content;
        if (!TryResize(content, low)) return ERROR_NOT_ENOUGH_MEMORY;
        DWORD total = 0;
        while (total < low) {
            DWORD got = 0;
            if (!ReadFile(f.get(), content.data() + total, low - total, &got, nullptr)) {
                return LastError();
            }
            if (got == 0) break;  // the file shrank meanwhile
            total += got;
        }
        content.resize(total);
        *bytes = std::move(content);
        return 0;
    }

    Err writeFile(const std::string& path, const std::string& bytes) override {
        if (bytes.size() > 0x7FFFFFFFu) return ERROR_INVALID_PARAMETER;
        FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f.valid()) return LastError();
        const DWORD size = static_cast<DWORD>(bytes.size());
        DWORD total = 0;
        while (total < size) {
            DWORD put = 0;
            if (!WriteFile(f.get(), bytes.data() + total, size - total, &put, nullptr)) {
                return LastError();
            }
            if (put == 0) return ERROR_CAN_NOT_COMPLETE;
            total += put;
        }
        return 0;
    }

    Err getFileVersionInfoSize(const std::string& path, std::uint32_t* size) override {
        DWORD ignored = 0;
        SetLastError(0);
        const DWORD n = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        if (n == 0) return LastErrorOr(ERROR_RESOURCE_TYPE_NOT_FOUND);
        *size = n;
        return 0;
    }

    Err getFileVersionInfo(const std::string& path, std::vector<std::uint8_t>* block) override {
        std::uint32_t size = 0;
        if (const Err e = getFileVersionInfoSize(path, &size)) return e;
        std::vector<std::uint8_t> bytes;
        if (!TryResize(bytes, size)) return ERROR_NOT_ENOUGH_MEMORY;
        if (!GetFileVersionInfoA(path.c_str(), 0, size, bytes.data())) {
            return LastErrorOr(ERROR_RESOURCE_DATA_NOT_FOUND);
        }
        *block = std::move(bytes);
        return 0;
    }

    Err loadBitmapFile(const std::string& path, Bitmap* out) override {
        // The file's bytes first: a missing or locked file reports its own
        // error; a file that exists but is no bitmap is ERROR_BAD_FORMAT.
        std::string bytes;
        if (const Err e = readFile(path, &bytes)) return e;
        SetLastError(0);
        const HANDLE image = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        if (!image) {
            const DWORD e = GetLastError();
            if (e == ERROR_NOT_ENOUGH_MEMORY || e == ERROR_OUTOFMEMORY) return e;
            return ERROR_BAD_FORMAT;
        }
        DeleteObject(image);
        // LoadImageA turns the picture into a bitmap of the screen's depth;
        // the record describes the file, so its sizes come from the header
        // that LoadImageA has just accepted (height as a positive number,
        // top-down or not).
        if (!BitmapHeader(bytes, out)) return ERROR_BAD_FORMAT;
        out->fileBytes.assign(bytes.begin(), bytes.end());
        return 0;
    }
};

}  // namespace

std::unique_ptr<Files> MakeFiles() { return std::make_unique<Win32Files>(); }

}  // namespace plat::win32

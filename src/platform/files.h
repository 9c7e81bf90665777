// Files and the machine's well-known folders, after GetCurrentDirectoryA,
// GetModuleFileNameA, GetSystemDirectoryA, GetWindowsDirectoryA,
// GetTempPathA, FindFirstFileA/FindNextFileA/FindClose, CreateDirectoryA,
// Get/SetFileAttributesA, CopyFileA, CreateFileA, DeleteFileA, the version
// resource calls and LoadImageA for bitmap files.
//
// Paths are Windows paths ("C:\WINDOWS\system32\x.dll", "D:\W32\A.DLL",
// relative names against the current directory). The folder getters take the
// caller's buffer size in bytes; a result that does not fit (with its
// terminating zero) fails with ERROR_INSUFFICIENT_BUFFER.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace plat {

struct FindData {
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::string fileName;   // the name only, as the directory holds it
};

struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<std::uint8_t> fileBytes;   // the whole .bmp file
};

class Files {
public:
    virtual ~Files() = default;

    // No trailing backslash, except at a drive root ("D:\").
    virtual Err getCurrentDirectory(std::uint32_t cch, std::string* out) = 0;
    // The full path of the running program (GetModuleFileNameA(NULL)).
    virtual Err getModuleFileName(std::uint32_t cch, std::string* out) = 0;
    virtual Err getSystemDirectory(std::uint32_t cch, std::string* out) = 0;
    virtual Err getWindowsDirectory(std::uint32_t cch, std::string* out) = 0;
    // With a trailing backslash, as GetTempPathA gives it.
    virtual Err getTempPath(std::uint32_t cch, std::string* out) = 0;

    // A pattern with * and ? in its last part. No match: ERROR_FILE_NOT_FOUND;
    // the end of the listing: ERROR_NO_MORE_FILES.
    virtual Err findFirstFile(const std::string& pattern, Handle* find, FindData* data) = 0;
    virtual Err findNextFile(Handle find, FindData* data) = 0;
    virtual Err findClose(Handle find) = 0;

    virtual Err createDirectory(const std::string& path) = 0;
    virtual Err getFileAttributes(const std::string& path, std::uint32_t* attributes) = 0;
    virtual Err setFileAttributes(const std::string& path, std::uint32_t attributes) = 0;
    // Read-only destination: ERROR_ACCESS_DENIED; destination held open by
    // another program: ERROR_SHARING_VIOLATION; failIfExists and present:
    // ERROR_FILE_EXISTS.
    virtual Err copyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
    // CreateFileA(path, no access, shared read and write, OPEN_EXISTING) and
    // close again: whether the file can be opened for its existence.
    virtual Err probeFile(const std::string& path) = 0;
    virtual Err deleteFile(const std::string& path) = 0;
    virtual Err readFile(const std::string& path, std::string* bytes) = 0;
    virtual Err writeFile(const std::string& path, const std::string& bytes) = 0;

    // GetFileVersionInfoSizeA / GetFileVersionInfoA: the VS_VERSIONINFO block
    // of a PE file. No version resource: ERROR_RESOURCE_TYPE_NOT_FOUND (or
    // ERROR_RESOURCE_DATA_NOT_FOUND); not a PE file: ERROR_BAD_FORMAT.
    // Values are read from the block with plat::verQueryValue (version_block.h).
    virtual Err getFileVersionInfoSize(const std::string& path, std::uint32_t* size) = 0;
    virtual Err getFileVersionInfo(const std::string& path, std::vector<std::uint8_t>* block) = 0;

    // LoadImageA(NULL, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE): a valid
    // BMP file, or ERROR_FILE_NOT_FOUND / ERROR_BAD_FORMAT.
    virtual Err loadBitmapFile(const std::string& path, Bitmap* out) = 0;
};

}  // namespace plat

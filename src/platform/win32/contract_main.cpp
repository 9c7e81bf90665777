// The seam's contract against the running system: every harmless operation
// of the Win32 back end, run for real, with the answers the programs rely on.
// Nothing here changes the machine beyond a temporary folder and the key
// HKCU\Software\DrivantoContract, both removed at the end; nothing prints,
// installs or restarts. Prints one line per check and "N passed, M failed";
// exits with 1 when a check failed.
//
// Under Wine some answers differ from Windows; such checks say so
// ("Wine: ...") and accept what Wine does where Windows itself leaves it open.
#include <windows.h>
#include <winspool.h>
#include <winver.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/host.h"
#include "platform/version_block.h"

namespace {

using plat::Err;

struct Tally {
    int passed = 0;
    int failed = 0;

    void check(bool ok, const std::string& what, const std::string& detail = std::string()) {
        if (ok) {
            ++passed;
            std::printf("ok    %s\n", what.c_str());
        } else {
            ++failed;
            std::printf("FAIL  %s%s%s\n", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
        }
    }
    void error(Err got, Err want, const std::string& what) {
        check(got == want, what,
              "error " + std::to_string(got) + ", expected " + std::to_string(want));
    }
    void text(const std::string& got, const std::string& want, const std::string& what) {
        check(got == want, what, "\"" + got + "\", expected \"" + want + "\"");
    }
};

bool OnWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// The temporary folder of this run, emptied and removed at the end even when
// checks failed half-way (read-only files included).
void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA w;
    const HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &w);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = w.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (w.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(h, &w));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

// ---------------------------------------------------------------- registry

const char kContractKey[] = "Software\\DrivantoContract";

// Removes a key with everything under it through the seam (RegDeleteKeyA
// refuses keys with sub-keys on the NT family).
void DeleteKeyTree(plat::Registry& reg, plat::HKey root, const std::string& path) {
    plat::HKey key = 0;
    if (reg.openKey(root, path, KEY_ALL_ACCESS, &key) != 0) return;
    std::string child, previous;
    while (reg.enumKey(key, 0, &child) == 0 && child != previous) {
        DeleteKeyTree(reg, key, child);
        previous = child;  // a child that cannot go would come back first again
    }
    reg.closeKey(key);
    reg.deleteKey(root, path);
}

void CheckRegistry(plat::Registry& reg, Tally& t) {
    const plat::HKey hkcu = 0x80000001u;
    const plat::HKey hklm = 0x80000002u;
    DeleteKeyTree(reg, hkcu, kContractKey);

    plat::HKey key = 0;
    std::uint32_t disposition = 0;
    t.error(reg.createKey(hkcu, kContractKey, KEY_ALL_ACCESS, &key, &disposition), 0,
            "registry: create HKCU\\Software\\DrivantoContract");
    t.check(disposition == REG_CREATED_NEW_KEY, "registry: a new key says created new");
    plat::HKey again = 0;
    t.error(reg.createKey(hkcu, kContractKey, KEY_ALL_ACCESS, &again, &disposition), 0,
            "registry: create the same key again");
    t.check(disposition == REG_OPENED_EXISTING_KEY, "registry: an existing key says opened");
    reg.closeKey(again);

    const std::uint8_t name[] = "KESTRAN";
    const std::uint32_t count = 0x01020304;
    t.error(reg.setValue(key, "Name", REG_SZ, name, sizeof name), 0, "registry: set a string");
    t.error(reg.setValue(key, "Count", REG_DWORD, reinterpret_cast<const std::uint8_t*>(&count),
                         sizeof count),
            0, "registry: set a number");

    std::uint32_t type = 0, size = 0;
    t.error(reg.queryValue(key, "NAME", &type, nullptr, &size), 0,
            "registry: size query without a buffer (name in other case)");
    t.check(type == REG_SZ && size == sizeof name, "registry: size query gives type and size",
            "type " + std::to_string(type) + ", size " + std::to_string(size));
    std::uint8_t small[4] = {};
    size = sizeof small;
    t.error(reg.queryValue(key, "Name", &type, small, &size), ERROR_MORE_DATA,
            "registry: a short buffer is ERROR_MORE_DATA");
    t.check(size == sizeof name, "registry: ERROR_MORE_DATA reports the size needed");
    std::uint8_t full[32] = {};
    size = sizeof full;
    t.error(reg.queryValue(key, "Name", &type, full, &size), 0, "registry: read the string");
    t.text(reinterpret_cast<const char*>(full), "KESTRAN", "registry: the string comes back");
    std::uint32_t number = 0;
    size = sizeof number;
    reg.queryValue(key, "Count", &type, reinterpret_cast<std::uint8_t*>(&number), &size);
    t.check(type == REG_DWORD && number == count, "registry: the number comes back");
    size = sizeof full;
    t.error(reg.queryValue(key, "Missing", &type, full, &size), ERROR_FILE_NOT_FOUND,
            "registry: a missing value is ERROR_FILE_NOT_FOUND");

    plat::HKey deeper = 0;
    t.error(reg.createKey(key, "Sub\\Deeper", KEY_ALL_ACCESS, &deeper, nullptr), 0,
            "registry: create two levels below an open key");
    reg.closeKey(deeper);

    struct OpenCase {
        const char* path;
        Err want;
        const char* what;
    };
    const OpenCase opens[] = {
        {"software\\drivantocontract\\SUB", 0, "registry: open without regard to case"},
        {"Software\\DrivantoContract\\Sub\\", 0, "registry: open with a trailing backslash"},
        {"Software\\DrivantoContract\\Nope", ERROR_FILE_NOT_FOUND,
         "registry: open a missing key is ERROR_FILE_NOT_FOUND"},
    };
    for (const OpenCase& c : opens) {
        plat::HKey k = 0;
        const Err e = reg.openKey(hkcu, c.path, KEY_READ, &k);
        t.error(e, c.want, c.what);
        if (e == 0) reg.closeKey(k);
    }
    if (sizeof(void*) == 8) {
        // Windows' own 64-bit value of HKEY_CURRENT_USER is sign-extended.
        // (Wine takes the zero-extended number as well; 64-bit Windows
        // takes only the SDK's, which is why the service maps the roots.)
        plat::HKey k = 0;
        const Err e =
            reg.openKey(static_cast<plat::HKey>(0xFFFFFFFF80000001ull), kContractKey, KEY_READ, &k);
        t.error(e, 0, "registry: the sign-extended root works too");
        if (e == 0) reg.closeKey(k);
    }

    std::string child;
    t.error(reg.enumKey(key, 0, &child), 0, "registry: enumerate the first sub-key");
    t.text(child, "Sub", "registry: the sub-key's name as created");
    t.error(reg.enumKey(key, 1, &child), ERROR_NO_MORE_ITEMS,
            "registry: past the last sub-key is ERROR_NO_MORE_ITEMS");
    std::set<std::string> names;
    std::vector<std::uint8_t> data;
    bool stringData = false;
    for (std::uint32_t i = 0; i < 8; ++i) {
        std::string n;
        if (reg.enumValue(key, i, &n, &type, &data) != 0) break;
        names.insert(n);
        if (n == "Name")
            stringData = type == REG_SZ && data.size() == sizeof name &&
                         std::memcmp(data.data(), name, sizeof name) == 0;
    }
    t.check(names == std::set<std::string>{"Name", "Count"}, "registry: values enumerated");
    t.check(stringData, "registry: an enumerated value carries its type and data");

    t.error(reg.deleteKey(hkcu, kContractKey), ERROR_ACCESS_DENIED,
            "registry: a key with sub-keys is not deleted");
    t.error(reg.deleteValue(key, "Count"), 0, "registry: delete a value");
    t.error(reg.deleteValue(key, "Count"), ERROR_FILE_NOT_FOUND,
            "registry: delete it again is ERROR_FILE_NOT_FOUND");
    t.error(reg.deleteKey(key, "Sub\\Deeper"), 0, "registry: delete a leaf key by path");
    t.error(reg.deleteKey(key, "Sub"), 0, "registry: delete the emptied key");
    t.error(reg.closeKey(key), 0, "registry: close");
    t.error(reg.deleteKey(hkcu, kContractKey), 0, "registry: delete the contract key");
    plat::HKey gone = 0;
    t.error(reg.openKey(hkcu, kContractKey, KEY_READ, &gone), ERROR_FILE_NOT_FOUND,
            "registry: the contract key is gone");

    plat::HKey machine = 0;
    const Err e =
        reg.openKey(hklm, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", KEY_READ, &machine);
    t.error(e, 0, "registry: HKEY_LOCAL_MACHINE maps to the real root");
    if (e == 0) {
        size = 0;
        t.error(reg.queryValue(machine, "CurrentVersion", &type, nullptr, &size), 0,
                "registry: read a value under HKLM");
        reg.closeKey(machine);
    }
}

// ---------------------------------------------------------------- profile

void CheckProfile(plat::Platform& p, const std::string& dir, Tally& t) {
    const std::string ini = dir + "\\contract.ini";
    p.files().writeFile(ini,
                        "; the driver configuration's shape\r\n"
                        "[Setup]\r\n"
                        "Language = 2   \r\n"
                        "Name=\"Quoted Value\"\r\n"
                        "name=second\r\n"
                        "Long=abcdefghij\r\n"
                        "Spaced=   padded text   \r\n"
                        "Half=\"open only\r\n"
                        "[Other]\r\n"
                        "Key=other\r\n");
    plat::Profile& prof = p.profile();
    struct Case {
        const char* section;
        const char* key;
        const char* def;
        std::uint32_t size;
        const char* want;
        const char* what;
    };
    const Case cases[] = {
        {"SETUP", "LANGUAGE", "0", 200, "2", "profile: names match without regard to case"},
        {"Setup", "Name", "0", 200, "Quoted Value",
         "profile: the first of two keys wins and its quotes go"},
        {"Setup", "Long", "0", 5, "abcd", "profile: a value is cut to size - 1"},
        {"Setup", "Spaced", "0", 200, "padded text", "profile: values are trimmed"},
        {"Setup", "Half", "0", 200, "\"open only", "profile: a lone quote stays"},
        {"Setup", "Missing", "dflt", 200, "dflt", "profile: a missing key gives the default"},
        {"Nowhere", "Key", "0", 200, "0", "profile: a missing section gives the default"},
        {"Setup", "Missing", "defaultvalue", 4, "def", "profile: the default is cut to size too"},
        {"Other", "Key", "0", 200, "other", "profile: the second section"},
    };
    for (const Case& c : cases) {
        t.text(prof.getPrivateProfileString(c.section, c.key, c.def, c.size, ini), c.want, c.what);
    }
    t.text(prof.getPrivateProfileString("Setup", "Key", "none", 200, dir + "\\missing.ini"), "none",
           "profile: a missing file gives the default");

    // A relative name is resolved against the current directory.
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(dir.c_str());
    t.text(prof.getPrivateProfileString("Other", "Key", "0", 200, ".\\contract.ini"), "other",
           "profile: a relative path goes from the current directory");
    SetCurrentDirectoryA(previous);

    t.error(prof.writePrivateProfileString("New", "Key", "written", ini), 0,
            "profile: write a key into a new section");
    t.text(prof.getPrivateProfileString("new", "key", "0", 200, ini), "written",
           "profile: the written key reads back");
    prof.writePrivateProfileString("New", "Key", nullptr, ini);
    t.text(prof.getPrivateProfileString("New", "Key", "gone", 200, ini), "gone",
           "profile: a null value deletes the key");
    prof.writePrivateProfileString("Other", nullptr, nullptr, ini);
    t.text(prof.getPrivateProfileString("Other", "Key", "gone", 200, ini), "gone",
           "profile: a null key deletes the section");
    t.text(prof.getPrivateProfileString("Setup", "Language", "0", 200, ini), "2",
           "profile: the other sections stay");
    // WIN.INI is only read here: a section nobody has gives the default.
    t.text(prof.getProfileString("DrivantoContractNone", "Key", "dflt", 200), "dflt",
           "profile: WIN.INI without the section gives the default");
}

// ---------------------------------------------------------------- files

std::string SmallBitmap() {
    // 3 x 2 pixels, 24 bits, rows padded to 12 bytes, bottom-up.
    std::string b(14 + 40 + 24, '\0');
    auto put = [&](size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, static_cast<std::uint32_t>(b.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, 3, 4);
    put(22, 2, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, 24, 4);
    for (size_t i = 54; i < b.size(); ++i) b[i] = static_cast<char>(i * 7);
    return b;
}

void CheckFolders(plat::Files& f, Tally& t) {
    std::string temp, current, module, system, windows;
    t.error(f.getTempPath(MAX_PATH, &temp), 0, "files: temp path");
    t.check(EndsWith(temp, "\\"), "files: the temp path ends with a backslash", temp);
    t.error(f.getCurrentDirectory(MAX_PATH, &current), 0, "files: current directory");
    t.check(!EndsWith(current, "\\") || current.size() == 3,
            "files: the current directory has no trailing backslash", current);
    t.error(f.getModuleFileName(MAX_PATH, &module), 0, "files: module path");
    t.check(EndsWith(Lower(module), "\\seam_contract.exe"), "files: module path is this program",
            module);
    t.error(f.getSystemDirectory(MAX_PATH, &system), 0, "files: system directory");
    t.error(f.getWindowsDirectory(MAX_PATH, &windows), 0, "files: Windows directory");
    std::uint32_t attributes = 0;
    t.check(
        f.getFileAttributes(system, &attributes) == 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY),
        "files: the system directory is a folder", system);

    // Each getter: the exact fit (length + 1) works, one byte less does not.
    struct Getter {
        const char* what;
        Err (plat::Files::*get)(std::uint32_t, std::string*);
        std::string full;
    };
    const Getter getters[] = {
        {"temp path", &plat::Files::getTempPath, temp},
        {"current directory", &plat::Files::getCurrentDirectory, current},
        {"module path", &plat::Files::getModuleFileName, module},
        {"system directory", &plat::Files::getSystemDirectory, system},
        {"Windows directory", &plat::Files::getWindowsDirectory, windows},
    };
    for (const Getter& g : getters) {
        std::string out;
        const auto len = static_cast<std::uint32_t>(g.full.size());
        const Err fit = (f.*g.get)(len + 1, &out);
        t.check(fit == 0 && out == g.full, std::string("files: ") + g.what + " fits in length + 1",
                "error " + std::to_string(fit) + ", \"" + out + "\"");
        t.error((f.*g.get)(len, &out), ERROR_INSUFFICIENT_BUFFER,
                std::string("files: ") + g.what + " in one byte less is refused");
    }
}

void CheckFileOperations(plat::Files& f, const std::string& dir, Tally& t) {
    const std::string a = dir + "\\a.bin", b = dir + "\\b.bin";
    const std::string bytes("zero\0one\xff\r\n", 11);
    t.error(f.createDirectory(dir), ERROR_ALREADY_EXISTS,
            "files: create an existing folder is ERROR_ALREADY_EXISTS");
    t.error(f.writeFile(a, bytes), 0, "files: write bytes");
    std::string back;
    t.error(f.readFile(a, &back), 0, "files: read them");
    t.check(back == bytes, "files: bytes come back whole, zeros included");

    t.error(f.copyFile(a, b, false), 0, "files: copy");
    t.error(f.copyFile(a, b, true), ERROR_FILE_EXISTS,
            "files: copy with failIfExists onto a file is ERROR_FILE_EXISTS");
    t.error(f.setFileAttributes(b, FILE_ATTRIBUTE_READONLY), 0, "files: make read-only");
    std::uint32_t attributes = 0;
    f.getFileAttributes(b, &attributes);
    t.check((attributes & FILE_ATTRIBUTE_READONLY) != 0, "files: the read-only bit reads back");
    // Wine: the read-only bit is the Unix file mode; run as root (as in CI
    // containers) the copy goes through and Wine reports success.
    const Err ontoReadOnly = f.copyFile(a, b, false);
    t.check(ontoReadOnly == ERROR_ACCESS_DENIED || (OnWine() && ontoReadOnly == 0),
            "files: copy onto a read-only file is ERROR_ACCESS_DENIED",
            "error " + std::to_string(ontoReadOnly));
    f.setFileAttributes(b, FILE_ATTRIBUTE_READONLY);
    t.error(f.deleteFile(b), ERROR_ACCESS_DENIED,
            "files: delete a read-only file is ERROR_ACCESS_DENIED");
    f.setFileAttributes(b, FILE_ATTRIBUTE_NORMAL);
    t.error(f.deleteFile(b), 0, "files: delete after clearing the bit");
    t.error(f.getFileAttributes(b, &attributes), ERROR_FILE_NOT_FOUND,
            "files: a deleted file is ERROR_FILE_NOT_FOUND");
    t.error(f.copyFile(dir + "\\none.bin", b, false), ERROR_FILE_NOT_FOUND,
            "files: copy from a missing file is ERROR_FILE_NOT_FOUND");

    // A file that another program holds open without sharing.
    const HANDLE held = CreateFileA(a.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    t.check(held != INVALID_HANDLE_VALUE, "files: hold a file open without sharing");
    t.error(f.copyFile(dir + "\\contract.ini", a, false), ERROR_SHARING_VIOLATION,
            "files: copy onto a held file is ERROR_SHARING_VIOLATION");
    t.error(f.readFile(a, &back), ERROR_SHARING_VIOLATION,
            "files: read a held file is ERROR_SHARING_VIOLATION");
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);

    struct Probe {
        std::string path;
        Err want;
        const char* what;
    };
    const Probe probes[] = {
        {a, 0, "files: probe an existing file"},
        {dir + "\\none.bin", ERROR_FILE_NOT_FOUND, "files: probe a missing file"},
        {dir + "\\nofolder\\none.bin", ERROR_PATH_NOT_FOUND, "files: probe in a missing folder"},
    };
    for (const Probe& p : probes) {
        t.error(f.probeFile(p.path), p.want, p.what);
    }
    t.error(f.getFileAttributes(dir + "\\nofolder\\x", &attributes), ERROR_PATH_NOT_FOUND,
            "files: attributes in a missing folder are ERROR_PATH_NOT_FOUND");
    f.getFileAttributes(dir, &attributes);
    t.check((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, "files: a folder has the folder bit");
}

void CheckFind(plat::Files& f, const std::string& dir, Tally& t) {
    const std::string list = dir + "\\find";
    f.createDirectory(list);
    const char* names[] = {"b.txt", "C.TXT", "a.txt", "d.dat"};
    for (const char* n : names) f.writeFile(list + "\\" + n, n);
    f.createDirectory(list + "\\sub.txt");

    std::vector<std::string> found;
    std::vector<std::uint64_t> sizes;
    plat::Handle h = 0;
    plat::FindData d;
    Err e = f.findFirstFile(list + "\\*.txt", &h, &d);
    t.error(e, 0, "find: first match");
    bool folderMarked = false;
    while (e == 0) {
        found.push_back(d.fileName);
        sizes.push_back(d.size);
        if (d.fileName == "sub.txt") folderMarked = (d.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e = f.findNextFile(h, &d);
    }
    t.error(e, ERROR_NO_MORE_FILES, "find: the listing ends with ERROR_NO_MORE_FILES");
    f.findClose(h);
    std::vector<std::string> sorted = found;
    std::sort(sorted.begin(), sorted.end());
    t.check(sorted == std::vector<std::string>{"C.TXT", "a.txt", "b.txt", "sub.txt"},
            "find: every match once, names as the folder holds them");
    t.check(folderMarked, "find: a folder carries the folder bit");
    bool sizesRight = true;
    for (size_t i = 0; i < found.size(); ++i) {
        if (found[i] != "sub.txt" && sizes[i] != found[i].size()) sizesRight = false;
    }
    t.check(sizesRight, "find: sizes");

    // NTFS lists a folder in its name order (case-insensitive); FAT in the
    // order of creation. Wine: the order of the host's directory, unsorted.
    char fs[32] = {};
    const std::string root = dir.substr(0, 3);
    const bool ntfs =
        GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fs, sizeof fs) &&
        std::string(fs) == "NTFS";
    if (ntfs && !OnWine()) {
        std::vector<std::string> byName = found;
        std::sort(byName.begin(), byName.end(),
                  [](const std::string& x, const std::string& y) { return Lower(x) < Lower(y); });
        t.check(found == byName, "find: NTFS lists names in order");
    }

    std::vector<std::string> all;
    e = f.findFirstFile(list + "\\*", &h, &d);
    while (e == 0) {
        all.push_back(d.fileName);
        e = f.findNextFile(h, &d);
    }
    f.findClose(h);
    t.check(std::count(all.begin(), all.end(), ".") == 1 &&
                std::count(all.begin(), all.end(), "..") == 1 && all.size() == 7,
            "find: \"*\" lists . and .. and every entry");
    t.error(f.findFirstFile(list + "\\*.none", &h, &d), ERROR_FILE_NOT_FOUND,
            "find: no match is ERROR_FILE_NOT_FOUND");
    t.error(f.findFirstFile(list + "\\nofolder\\*", &h, &d), ERROR_PATH_NOT_FOUND,
            "find: a missing folder is ERROR_PATH_NOT_FOUND");
}

void CheckBitmap(plat::Files& f, const std::string& dir, Tally& t) {
    const std::string bmp = dir + "\\left.bmp";
    const std::string bytes = SmallBitmap();
    f.writeFile(bmp, bytes);
    plat::Bitmap picture;
    t.error(f.loadBitmapFile(bmp, &picture), 0, "bitmap: load a BMP file");
    t.check(picture.width == 3 && picture.height == 2 && picture.bitsPerPixel == 24,
            "bitmap: width, height and depth of the file",
            std::to_string(picture.width) + "x" + std::to_string(picture.height) + "x" +
                std::to_string(picture.bitsPerPixel));
    t.check(std::string(picture.fileBytes.begin(), picture.fileBytes.end()) == bytes,
            "bitmap: the file's bytes");
    t.error(f.loadBitmapFile(dir + "\\contract.ini", &picture), ERROR_BAD_FORMAT,
            "bitmap: a text file is ERROR_BAD_FORMAT");
    t.error(f.loadBitmapFile(dir + "\\none.bmp", &picture), ERROR_FILE_NOT_FOUND,
            "bitmap: a missing file is ERROR_FILE_NOT_FOUND");
}

// ---------------------------------------------------------------- versions

void CheckVersion(plat::Files& f, const std::string& dir, const std::string& usbDll, Tally& t) {
    std::string module;
    f.getModuleFileName(MAX_PATH, &module);
    std::uint32_t size = 0;
    t.error(f.getFileVersionInfoSize(module, &size), 0, "version: size of our own block");
    std::vector<std::uint8_t> block;
    t.error(f.getFileVersionInfo(module, &block), 0, "version: read our own block");
    t.check(block.size() == size && size > 92, "version: the block has the reported size");

    // The block is the system's own: its reader and ours agree on it.
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    std::vector<std::uint8_t> copy = block;
    const bool system =
        VerQueryValueA(copy.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) &&
        fixedSize == sizeof(VS_FIXEDFILEINFO);
    t.check(system && fixed->dwFileVersionMS == 0x00030001 && fixed->dwFileVersionLS == 0x0004000F,
            "version: VerQueryValueA reads file version 3.1.4.15");
    std::vector<std::uint8_t> ours;
    t.check(plat::verQueryValue(block, "\\", &ours) && system && ours.size() == fixedSize &&
                std::memcmp(ours.data(), fixed, fixedSize) == 0,
            "version: our block reader finds the same fixed info");
    std::string text;
    t.check(plat::verQueryString(block, "\\StringFileInfo\\040904b0\\FileVersion", &text) &&
                text == "3.1.4.15",
            "version: our block reader finds the FileVersion string", text);
    std::vector<std::uint8_t> translation;
    t.check(plat::verQueryValue(block, "\\VarFileInfo\\Translation", &translation) &&
                translation.size() == 4 && translation[0] == 0x09 && translation[1] == 0x04 &&
                translation[2] == 0xB0 && translation[3] == 0x04,
            "version: the translation pair");

    // A PE file without a version resource. Windows answers
    // ERROR_RESOURCE_TYPE_NOT_FOUND; Wine: ERROR_RESOURCE_DATA_NOT_FOUND
    // (1812) or the type error (1813), depending on the version.
    const Err none = f.getFileVersionInfoSize(usbDll, &size);
    t.check(none == ERROR_RESOURCE_TYPE_NOT_FOUND || none == ERROR_RESOURCE_DATA_NOT_FOUND,
            "version: a DLL without a version resource", "error " + std::to_string(none));
    const Err text_file = f.getFileVersionInfoSize(dir + "\\contract.ini", &size);
    // Windows: ERROR_BAD_FORMAT for a file that is no PE image. Wine:
    // ERROR_BAD_FORMAT too, or ERROR_RESOURCE_DATA_NOT_FOUND in older versions.
    t.check(text_file == ERROR_BAD_FORMAT || text_file == ERROR_RESOURCE_DATA_NOT_FOUND ||
                text_file == ERROR_RESOURCE_TYPE_NOT_FOUND,
            "version: a file that is no PE image fails", "error " + std::to_string(text_file));
    t.error(f.getFileVersionInfoSize(dir + "\\none.dll", &size), ERROR_FILE_NOT_FOUND,
            "version: a missing file is ERROR_FILE_NOT_FOUND");
}

// ---------------------------------------------------------------- system

void CheckSystem(plat::Platform& p, const std::string& usbDll, Tally& t) {
    plat::System& s = p.system();
    plat::OsVersionInfo v;
    t.error(s.getVersionEx(&v), 0, "system: GetVersionExA");
    t.check(v.platformId == VER_PLATFORM_WIN32_NT && v.majorVersion >= 5,
            "system: an NT-family version",
            std::to_string(v.majorVersion) + "." + std::to_string(v.minorVersion) + " build " +
                std::to_string(v.buildNumber) + " \"" + v.csdVersion + "\"");
    bool wow64 = true;
    t.error(s.isWow64Process(&wow64), 0, "system: IsWow64Process is found and answers");
    BOOL direct = FALSE;
    IsWow64Process(GetCurrentProcess(), &direct);
    t.check(wow64 == (direct != FALSE) && (sizeof(void*) == 4 || !wow64),
            "system: WOW64 only for a 32-bit program on 64-bit Windows");
    bool admin = false;
    t.error(s.isUserAdmin(&admin), 0, "system: the Administrators test runs");
    // Wine: the user is always an administrator.
    std::printf("      (administrator: %s)\n", admin ? "yes" : "no");
    if (OnWine()) t.check(admin, "system: Wine's user holds the Administrators group");
    t.error(s.enableShutdownPrivilege(), 0, "system: enable the shutdown privilege");

    struct Probe {
        std::string dll, proc;
        Err want;
        const char* what;
    };
    const Probe probes[] = {
        {"kernel32.dll", "GetVersionExA", 0, "system: probe an export"},
        {"kernel32.dll", "DrivantoNoSuchEntry", ERROR_PROC_NOT_FOUND,
         "system: a missing export is ERROR_PROC_NOT_FOUND"},
        {"drivanto_no_such_library.dll", "X", ERROR_MOD_NOT_FOUND,
         "system: a missing library is ERROR_MOD_NOT_FOUND"},
        {usbDll, "uWrite", 0, "system: probe a library by full path"},
    };
    for (const Probe& pr : probes) t.error(s.probeEntryPoint(pr.dll, pr.proc), pr.want, pr.what);
    t.error(s.allocate(64 * 1024), 0, "system: allocate a block");
    t.error(s.allocate(static_cast<std::size_t>(-1) - 64 * 1024), ERROR_NOT_ENOUGH_MEMORY,
            "system: an impossible block is ERROR_NOT_ENOUGH_MEMORY");
}

// ---------------------------------------------------------------- desktop

void CheckDesktop(plat::Desktop& d, Tally& t) {
    const std::string mutexName = "DrivantoContract-" + std::to_string(GetCurrentProcessId());
    bool exists = true;
    t.error(d.createMutex(mutexName, &exists), 0, "desktop: create a named mutex");
    t.check(!exists, "desktop: the first create does not find one");
    Err second = 1;
    bool secondExists = false;
    std::thread other([&] { second = d.createMutex(mutexName, &secondExists); });
    other.join();
    t.error(second, 0, "desktop: create it again from another thread");
    t.check(secondExists, "desktop: the second create finds ERROR_ALREADY_EXISTS");

    t.check(d.findWindow("Drivanto contract: no such window") == 0,
            "desktop: no window with an unknown title");
    const std::string title = "Drivanto contract window " + std::to_string(GetCurrentProcessId());
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "DrivantoContractWindow";
    RegisterClassA(&windowClass);
    const HWND own =
        CreateWindowExA(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100,
                        100, nullptr, nullptr, windowClass.hInstance, nullptr);
    // Wine: windows need a display; run under xvfb-run without one.
    t.check(own != nullptr, "desktop: make a top-level window to look for (needs a display)");
    if (own) {
        const plat::Hwnd found = d.findWindow(title);
        t.check(found == reinterpret_cast<plat::Hwnd>(own), "desktop: find it by its title");
        t.error(d.bringWindowToTop(found), 0, "desktop: bring it to the top");
        ShowWindow(own, SW_MINIMIZE);
        t.error(d.openIcon(found), 0, "desktop: restore it when minimised");
        t.check(!IsIconic(own), "desktop: the restored window is no longer minimised");
        DestroyWindow(own);
    }
    const plat::Hwnd bogus = 0x7FFFFF0;
    t.error(d.bringWindowToTop(bogus), ERROR_INVALID_WINDOW_HANDLE,
            "desktop: a bad window is ERROR_INVALID_WINDOW_HANDLE");
    t.check(d.registerOwnWindow("anything") == 0, "desktop: own windows need no registration");
    t.error(d.broadcastWinIniChange("windows", 1000), 0, "desktop: WM_WININICHANGE with a timeout");
    // Wine: SendNotifyMessageA refuses WM_WININICHANGE as a message that may
    // carry a pointer (ERROR_MESSAGE_SYNC_ONLY), even with none.
    const Err notified = d.broadcastWinIniChange(nullptr, 0);
    t.check(notified == 0 || (OnWine() && notified == ERROR_MESSAGE_SYNC_ONLY),
            "desktop: WM_WININICHANGE as a notification", "error " + std::to_string(notified));
    const std::intptr_t shell =
        d.shellExecute("open", "C:\\drivanto-no-such-folder\\none.exe", nullptr, nullptr, SW_HIDE);
    t.check(shell <= 32, "desktop: ShellExecuteA of a missing program fails (32 or less)",
            std::to_string(shell));
}

// ---------------------------------------------------------------- services

void CheckServices(plat::Services& s, Tally& t) {
    plat::Handle manager = 0;
    const Err e = s.openSCManager(nullptr, SC_MANAGER_CONNECT, &manager);
    t.error(e, 0, "services: open the manager");
    if (e != 0) return;
    plat::Handle service = 0;
    t.error(s.openService(manager, "DrivantoNoSuchService", SERVICE_QUERY_STATUS, &service),
            ERROR_SERVICE_DOES_NOT_EXIST, "services: a missing service");
    const Err spooler = s.openService(manager, "Spooler", SERVICE_QUERY_STATUS, &service);
    t.error(spooler, 0, "services: open the Spooler for its state");
    if (spooler == 0) {
        plat::ServiceStatus status;
        t.error(s.queryServiceStatus(service, &status), 0, "services: query the Spooler");
        t.check(status.currentState >= SERVICE_STOPPED && status.currentState <= 7,
                "services: the state is one of Windows' seven",
                std::to_string(status.currentState));
        t.error(s.closeServiceHandle(service), 0, "services: close the service");
    }
    t.error(s.closeServiceHandle(manager), 0, "services: close the manager");
}

// ---------------------------------------------------------------- spooler

// The size query of every enumeration: no buffer tells the size, one byte
// short is refused, the exact size gives the list.
void CheckSizeQuery(
    const char* what, Tally& t,
    const std::function<Err(std::uint32_t, std::uint32_t*, std::vector<std::string>*)>& call) {
    std::uint32_t needed = 0;
    std::vector<std::string> list;
    const std::string name = std::string("spooler: ") + what;
    t.error(call(0, &needed, &list), ERROR_INSUFFICIENT_BUFFER,
            name + ": no buffer is ERROR_INSUFFICIENT_BUFFER");
    t.check(needed > 0, name + ": the size needed is reported");
    if (needed == 0) return;
    std::uint32_t again = 0;
    t.error(call(needed - 1, &again, &list), ERROR_INSUFFICIENT_BUFFER,
            name + ": one byte short is refused");
    t.error(call(needed, &again, &list), 0, name + ": the reported size is enough");
    t.check(!list.empty() && !list.front().empty(), name + ": names come back",
            list.empty() ? "" : list.front());
    std::string all;
    for (const std::string& n : list) all += (all.empty() ? "" : ", ") + n;
    std::printf("      (%s: %s)\n", what, all.c_str());
}

void CheckSpooler(plat::Spooler& sp, Tally& t) {
    CheckSizeQuery("ports", t,
                   [&](std::uint32_t cb, std::uint32_t* need, std::vector<std::string>* out) {
                       return sp.enumPorts1(nullptr, cb, need, out);
                   });
    CheckSizeQuery("monitors", t,
                   [&](std::uint32_t cb, std::uint32_t* need, std::vector<std::string>* out) {
                       return sp.enumMonitors1(nullptr, cb, need, out);
                   });
    CheckSizeQuery("print processors", t,
                   [&](std::uint32_t cb, std::uint32_t* need, std::vector<std::string>* out) {
                       return sp.enumPrintProcessors1(nullptr, nullptr, cb, need, out);
                   });

    std::uint32_t needed = 0;
    std::vector<plat::PrinterInfo5> printers;
    const Err size = sp.enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, 0, &needed, &printers);
    t.check(size == ERROR_INSUFFICIENT_BUFFER || (size == 0 && needed == 0),
            "spooler: printers size query", "error " + std::to_string(size));
    t.error(sp.enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, needed, &needed, &printers), 0,
            "spooler: list local printers");
    for (const plat::PrinterInfo5& p : printers) {
        // A printer that exists: read its level-2 record with the size query.
        plat::Handle h = 0;
        if (sp.openPrinter(p.printerName.c_str(), 0, &h) != 0) continue;
        std::uint32_t need2 = 0;
        plat::PrinterInfo2 info;
        const Err q = sp.getPrinter2(h, 0, &need2, &info);
        t.check(q == ERROR_INSUFFICIENT_BUFFER && need2 > 0,
                "spooler: level-2 size query of \"" + p.printerName + "\"");
        t.error(sp.getPrinter2(h, need2, &need2, &info), 0, "spooler: read the level-2 record");
        t.text(info.printerName, p.printerName, "spooler: the record names the printer");
        sp.closePrinter(h);
        break;
    }

    std::string folder;
    t.error(sp.getPrinterDriverDirectory(nullptr, nullptr, 1, MAX_PATH, &folder), 0,
            "spooler: driver directory");
    t.check(!folder.empty(), "spooler: the driver directory is a path", folder);
    t.error(sp.getPrinterDriverDirectory(nullptr, nullptr, 1, 2, &folder),
            ERROR_INSUFFICIENT_BUFFER, "spooler: driver directory in 2 bytes is refused");
    t.error(sp.getPrintProcessorDirectory(nullptr, nullptr, 1, MAX_PATH, &folder), 0,
            "spooler: print processor directory");
    t.check(!folder.empty(), "spooler: the processor directory is a path", folder);

    plat::Handle h = 0;
    t.error(sp.openPrinter("Drivanto contract no such printer", 0, &h), ERROR_INVALID_PRINTER_NAME,
            "spooler: open a missing printer");
    // The entry points looked up at run time are found and reach the
    // spooler. Wine: DeletePrinterDriverExA refuses every deletion flag with
    // ERROR_INVALID_PARAMETER, and both calls fail for a missing driver
    // without an error number (the seam then says ERROR_CAN_NOT_COMPLETE).
    struct Deletion {
        const char* what;
        Err got;
    };
    const Deletion deletions[] = {
        {"spooler: DeletePrinterDriverExA of a missing driver",
         sp.deletePrinterDriverEx(nullptr, nullptr, "Drivanto contract no such driver",
                                  DPD_DELETE_UNUSED_FILES, 0)},
        {"spooler: DeletePrinterDriverA of a missing driver",
         sp.deletePrinterDriver(nullptr, nullptr, "Drivanto contract no such driver")},
    };
    for (const Deletion& d : deletions) {
        t.check(d.got == ERROR_UNKNOWN_PRINTER_DRIVER ||
                    (OnWine() && d.got != 0 && d.got != ERROR_PROC_NOT_FOUND),
                d.what, "error " + std::to_string(d.got));
    }
    t.error(sp.deleteMonitor(nullptr, nullptr, "Drivanto contract no such monitor"),
            ERROR_UNKNOWN_PRINT_MONITOR, "spooler: delete a missing monitor");
}

// A printer made, changed and removed again: on Wine only, in its throw-away
// prefix, with Wine's built-in PostScript driver (wineps.drv), which takes a
// PPD file as its data file. On Windows the contract installs nothing.
const char kContractPpd[] =
    "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
    "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"CONTRACT.PPD\"\n"
    "*Manufacturer: \"Drivanto\"\n*Product: \"(Contract)\"\n*ModelName: \"Drivanto Contract\"\n"
    "*ShortNickName: \"Drivanto Contract\"\n*NickName: \"Drivanto Contract\"\n"
    "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: False\n"
    "*DefaultColorSpace: Gray\n*FileSystem: False\n*Throughput: \"1\"\n"
    "*OpenUI *PageSize/Page Size: PickOne\n*DefaultPageSize: A4\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*CloseUI: *PageSize\n"
    "*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"0 0 595 842\"\n"
    "*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n";

bool PrinterHasDevMode(const std::string& name) {
    HANDLE h = nullptr;
    if (!OpenPrinterA(const_cast<LPSTR>(name.c_str()), &h, nullptr)) return false;
    DWORD needed = 0;
    GetPrinterA(h, 2, nullptr, 0, &needed);
    std::vector<void*> buffer(needed / sizeof(void*) + 1);
    const bool has = GetPrinterA(h, 2, reinterpret_cast<LPBYTE>(buffer.data()),
                                 static_cast<DWORD>(buffer.size() * sizeof(void*)), &needed) &&
                     reinterpret_cast<PRINTER_INFO_2A*>(buffer.data())->pDevMode != nullptr;
    ClosePrinter(h);
    return has;
}

void CheckPrinterRoundTrip(plat::Platform& p, Tally& t) {
    if (!OnWine()) {
        std::printf("      (printer round trip: only under Wine)\n");
        return;
    }
    plat::Spooler& sp = p.spooler();
    std::string driverDir;
    sp.getPrinterDriverDirectory(nullptr, nullptr, 1, MAX_PATH, &driverDir);
    t.error(p.files().writeFile(driverDir + "\\contract.ppd", kContractPpd), 0,
            "printer: a PPD file in the driver directory");

    std::string driverName = "Drivanto Contract Driver", driverFile = "wineps.drv",
                dataFile = "contract.ppd", printerName = "Drivanto Contract Printer",
                port = "FILE:", processor = "winprint", datatype = "RAW";
    plat::DRIVER_INFO_3 driver{};
    driver.cVersion = 3;
    driver.pName = driverName.data();
    driver.pDriverPath = driverFile.data();
    driver.pDataFile = dataFile.data();
    driver.pConfigFile = driverFile.data();
    t.error(sp.addPrinterDriver(nullptr, 3, driver), 0, "printer: add a driver (level 3)");

    plat::PRINTER_INFO_2 info{};
    info.pPrinterName = printerName.data();
    info.pPortName = port.data();
    info.pDriverName = driverName.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = datatype.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    plat::Handle printer = 0;
    const Err added = sp.addPrinter(nullptr, 2, info, &printer);
    t.error(added, 0, "printer: add a printer on FILE: (level 2)");
    if (added != 0) {
        sp.deletePrinterDriver(nullptr, nullptr, driverName.c_str());
        return;
    }
    // Wine: AddPrinterA of a name that exists succeeds and opens the
    // printer again (Windows: ERROR_PRINTER_ALREADY_EXISTS), so that answer
    // is not checked here; the second handle must be closed before the
    // printer can go.
    plat::Handle twice = 0;
    if (sp.addPrinter(nullptr, 2, info, &twice) == 0) sp.closePrinter(twice);

    std::uint32_t needed = 0;
    std::vector<plat::PrinterInfo5> printers;
    sp.enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, 0, &needed, &printers);
    sp.enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, needed, &needed, &printers);
    const bool listed = std::any_of(printers.begin(), printers.end(), [&](const auto& q) {
        return q.printerName == printerName && q.portName == port;
    });
    t.check(listed, "printer: listed at level 5 with its port");

    plat::PrinterInfo2 record;
    t.error(sp.getPrinter2(printer, 0, &needed, &record), ERROR_INSUFFICIENT_BUFFER,
            "printer: level-2 size query");
    t.error(sp.getPrinter2(printer, needed, &needed, &record), 0, "printer: level-2 record");
    t.check(record.printerName == printerName && record.driverName == driverName &&
                record.portName == port && Lower(record.printProcessor) == processor,
            "printer: the record has name, driver, port and processor",
            record.driverName + " / " + record.portName + " / " + record.printProcessor);
    const bool hadDevMode = PrinterHasDevMode(printerName);
    record.comment = "changed by the contract";
    t.error(sp.setPrinter2(printer, record), 0, "printer: write the record back changed");
    plat::PrinterInfo2 again;
    sp.getPrinter2(printer, 4096, &needed, &again);
    t.text(again.comment, record.comment, "printer: the change reads back");
    t.check(!hadDevMode || PrinterHasDevMode(printerName),
            "printer: the device mode survives writing the record back");

    char previous[256] = {};
    DWORD previousSize = sizeof previous;
    const bool hadDefault = GetDefaultPrinterA(previous, &previousSize) != FALSE;
    t.error(sp.setDefaultPrinter(printerName.c_str()), 0,
            "printer: SetDefaultPrinterA (looked up at run time)");
    char current[256] = {};
    DWORD size = sizeof current;
    GetDefaultPrinterA(current, &size);
    t.text(current, printerName, "printer: it is the default printer");

    if (hadDefault) sp.setDefaultPrinter(previous);

    t.error(sp.deletePrinter(printer), 0, "printer: delete");
    t.error(sp.closePrinter(printer), 0, "printer: close the deleted printer's handle");
    plat::Handle gone = 0;
    t.error(sp.openPrinter(printerName.c_str(), 0, &gone), ERROR_INVALID_PRINTER_NAME,
            "printer: gone after deleting");
    t.error(sp.deletePrinterDriver(nullptr, nullptr, driverName.c_str()), 0,
            "printer: delete the driver");
    p.files().deleteFile(driverDir + "\\contract.ppd");
}

// ---------------------------------------------------------------- USB

void CheckUsb(plat::UsbLibrary& usb, const std::string& usbDll, Tally& t) {
    t.error(usb.load("drivanto_no_such_usb.dll"), ERROR_MOD_NOT_FOUND,
            "usb: a missing library is ERROR_MOD_NOT_FOUND");
    t.check(usb.openDeviceX(2) == -1, "usb: without a library no device answers");
    t.error(usb.load(usbDll), 0, "usb: load the library");
    bool all = true;
    for (const char* n : {"OpenDeviceX", "GetDescriptor", "uWrite", "CloseDevice"}) {
        all = usb.hasEntryPoint(n) && all;
    }
    t.check(all, "usb: the four entry points are found");
    t.check(!usb.hasEntryPoint("DrivantoNoSuchEntry"), "usb: an unknown entry point is not");
    t.check(usb.openDeviceX(0) == -1 && usb.openDeviceX(5) == 0,
            "usb: no device at indexes 0 and 5 (-1 and 0)");
    const int handle = usb.openDeviceX(2);
    t.check(handle == 0x5A17, "usb: the device at index 2");
    std::uint8_t descriptor[20] = {};
    t.check(usb.getDescriptor(handle, descriptor) == 1 && descriptor[12] == 0x08 &&
                descriptor[13] == 0x01,
            "usb: the descriptor carries the device number");
    // The identity command for port number 4: its last byte is 3.
    const std::uint8_t command[10] = {0x1B, 'K', 'S', 'T', 0x80, 0x81, 0x1D, 0x49, 0x20, 3};
    t.check(usb.uWrite(handle, 0, command, 10) == 10, "usb: write the identity command");
    std::memset(descriptor, 0, sizeof descriptor);
    usb.getDescriptor(handle, descriptor);
    t.check(descriptor[12] % 8 == 3, "usb: the device number follows the command");
    usb.closeDevice(handle);
    usb.unload();
    t.check(usb.openDeviceX(2) == -1, "usb: after unloading no device answers");
}

// ---------------------------------------------------------------- cabinets

// A cabinet with stored (uncompressed) files in one folder and one data block.
std::string StoredCabinet(const std::vector<std::pair<std::string, std::string>>& files) {
    std::string names, data;
    std::string entries;
    auto le = [](std::string& s, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    std::uint32_t offset = 0;
    for (const auto& [name, content] : files) {
        le(entries, static_cast<std::uint32_t>(content.size()), 4);
        le(entries, offset, 4);
        le(entries, 0, 2);                         // folder 0
        le(entries, (46 << 9) | (3 << 5) | 1, 2);  // 2026-03-01
        le(entries, 12 << 11, 2);                  // 12:00
        le(entries, 0x20, 2);                      // archive
        entries += name;
        entries += '\0';
        offset += static_cast<std::uint32_t>(content.size());
        data += content;
    }
    const std::uint32_t header = 36, folder = 8;
    const std::uint32_t dataStart = header + folder + static_cast<std::uint32_t>(entries.size());
    std::string cab = "MSCF";
    le(cab, 0, 4);
    le(cab, dataStart + 8 + static_cast<std::uint32_t>(data.size()), 4);
    le(cab, 0, 4);
    le(cab, header + folder, 4);  // first file entry
    le(cab, 0, 4);
    cab += '\3';
    cab += '\1';
    le(cab, 1, 2);  // folders
    le(cab, static_cast<std::uint32_t>(files.size()), 2);
    le(cab, 0, 2);  // flags
    le(cab, 0x1234, 2);
    le(cab, 0, 2);
    le(cab, dataStart, 4);
    le(cab, 1, 2);  // one data block
    le(cab, 0, 2);  // stored
    cab += entries;
    le(cab, 0, 4);  // no checksum
    le(cab, static_cast<std::uint32_t>(data.size()), 2);
    le(cab, static_cast<std::uint32_t>(data.size()), 2);
    cab += data;
    return cab;
}

void CheckCabinets(plat::Platform& p, const std::string& dir, Tally& t) {
    plat::Files& f = p.files();
    const std::string cab = dir + "\\driver.cab";
    f.writeFile(cab, StoredCabinet({{"UNIDRV.DLL", "unidrv bytes"}, {"skip.hlp", "help"}}));
    f.createDirectory(dir + "\\out");

    std::vector<std::string> seen;
    std::vector<std::uint32_t> sizes;
    const Err e = p.cabinets().iterateCabinet(
        cab, [&](const std::string& name, std::uint32_t size, std::string* target) {
            seen.push_back(name);
            sizes.push_back(size);
            if (name != "UNIDRV.DLL") return plat::CabFileAction::Skip;
            *target = dir + "\\out\\unidrv.dll";
            return plat::CabFileAction::Copy;
        });
    t.error(e, 0, "cabinet: iterate");
    t.check(seen == std::vector<std::string>{"UNIDRV.DLL", "skip.hlp"} &&
                sizes == std::vector<std::uint32_t>{12, 4},
            "cabinet: every file is offered with its size");
    std::string extracted;
    t.error(f.readFile(dir + "\\out\\unidrv.dll", &extracted), 0, "cabinet: the copied file");
    t.text(extracted, "unidrv bytes", "cabinet: the copied file's bytes");
    std::uint32_t attributes = 0;
    t.error(f.getFileAttributes(dir + "\\out\\skip.hlp", &attributes), ERROR_FILE_NOT_FOUND,
            "cabinet: a skipped file is not written");

    const Err tooLong = p.cabinets().iterateCabinet(
        cab, [&](const std::string&, std::uint32_t, std::string* target) {
            *target = dir + "\\" + std::string(300, 'x');
            return plat::CabFileAction::Copy;
        });
    t.error(tooLong, ERROR_FILENAME_EXCED_RANGE,
            "cabinet: a target beyond MAX_PATH stops with ERROR_FILENAME_EXCED_RANGE");
    const Err thrown = p.cabinets().iterateCabinet(
        cab, [&](const std::string&, std::uint32_t, std::string*) -> plat::CabFileAction {
            throw std::bad_alloc();
        });
    t.check(thrown != 0, "cabinet: a failing callback stops the iteration with an error",
            std::to_string(thrown));
    t.check(p.cabinets().iterateCabinet(dir + "\\none.cab",
                                        [](const std::string&, std::uint32_t, std::string*) {
                                            return plat::CabFileAction::Skip;
                                        }) != 0,
            "cabinet: a missing cabinet fails");
    f.writeFile(dir + "\\broken.cab", "MSCF and then nothing useful");
    t.check(p.cabinets().iterateCabinet(dir + "\\broken.cab",
                                        [](const std::string&, std::uint32_t, std::string*) {
                                            return plat::CabFileAction::Skip;
                                        }) != 0,
            "cabinet: a damaged cabinet fails");
}

// ---------------------------------------------------------------- texts, time

void CheckErrorTextAndClock(plat::Platform& p, Tally& t) {
    std::string text;
    const bool known = p.errorText().formatMessage(ERROR_ACCESS_DENIED, &text);
    t.check(known && text.size() > 2 && EndsWith(text, "\r\n"),
            "error text: 5 has a description ending in CR LF", text);
    t.check(p.errorText().formatMessage(ERROR_PRINTER_ALREADY_EXISTS, &text),
            "error text: a spooler error has a description");
    t.check(!p.errorText().formatMessage(0x2000BEEF, &text),
            "error text: an unknown number has none");

    // The sleep is timed with the performance counter; the tick count only
    // has to move on. Wine: the tick count comes from a page that the Wine
    // server refreshes, which lags behind while the server is busy.
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    const std::uint64_t before = p.clock().tickCount();
    QueryPerformanceCounter(&start);
    p.clock().sleep(100);
    QueryPerformanceCounter(&end);
    const std::uint64_t after = p.clock().tickCount();
    const auto slept =
        static_cast<long long>((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
    t.check(slept >= 90 && slept < 5000, "clock: a 100 ms sleep waits 100 ms",
            std::to_string(slept) + " ms");
    t.check(after > before && after - before < 5000, "clock: the tick count moves on",
            std::to_string(after - before) + " ms");
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Tally t;
    plat::HostOptions options;
    options.programName = "seam_contract.exe";
    std::string error;
    std::unique_ptr<plat::Platform> platform = plat::CreateHostPlatform(options, &error);
    t.check(platform != nullptr, "host: the platform is created", error);
    if (!platform) {
        std::printf("%d passed, %d failed\n", t.passed, t.failed);
        return 1;
    }
    plat::HostOptions simulated = options;
    simulated.machineDir = "C:\\machine";
    t.check(plat::CreateHostPlatform(simulated, &error) == nullptr && !error.empty(),
            "host: a simulated machine is refused with a message");
    std::printf("      (on %s)\n", OnWine() ? "Wine" : "Windows");

    plat::Platform& p = *platform;
    std::string temp, module;
    p.files().getTempPath(MAX_PATH, &temp);
    p.files().getModuleFileName(MAX_PATH, &module);
    const std::string dir = temp + "DrivantoContract-" + std::to_string(GetCurrentProcessId());
    const std::string usbDll = FolderOf(module) + "\\contract_usb.dll";
    RemoveTree(dir);
    t.error(p.files().createDirectory(dir), 0, "files: create the work folder");

    CheckRegistry(p.registry(), t);
    CheckProfile(p, dir, t);
    CheckFolders(p.files(), t);
    CheckFileOperations(p.files(), dir, t);
    CheckFind(p.files(), dir, t);
    CheckBitmap(p.files(), dir, t);
    CheckVersion(p.files(), dir, usbDll, t);
    CheckSystem(p, usbDll, t);
    CheckDesktop(p.desktop(), t);
    CheckServices(p.services(), t);
    CheckSpooler(p.spooler(), t);
    CheckPrinterRoundTrip(p, t);
    CheckUsb(p.usb(), usbDll, t);
    CheckCabinets(p, dir, t);
    CheckErrorTextAndClock(p, t);

    RemoveTree(dir);
    DeleteKeyTree(p.registry(), 0x80000001u, kContractKey);
    std::printf("%d passed, %d failed\n", t.passed, t.failed);
    return t.failed == 0 ? 0 : 1;
}

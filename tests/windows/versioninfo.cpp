// SPDX-License-Identifier: MIT
// Reads the version resource and the icon group of a built .exe through the Windows API, as Explorer
// does, and checks them against the project's version; and that it is a window program (no console).
// Usage: versioninfo FILE.exe MAJOR.MINOR.PATCH.TWEAK VERSION-STRING
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

int failures = 0;

void expect(bool ok, const char *what, const std::string &seen)
{
    std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", what, seen.c_str());
    failures += ok ? 0 : 1;
}

std::string narrow(const wchar_t *s)
{
    std::string out;
    for (; s && *s; ++s)
        out += *s < 128 ? char(*s) : '?';
    return out;
}

std::string quad(DWORD ms, DWORD ls)
{
    return std::to_string(HIWORD(ms)) + '.' + std::to_string(LOWORD(ms)) + '.' + std::to_string(HIWORD(ls)) + '.'
        + std::to_string(LOWORD(ls));
}

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupHeader {
    WORD reserved, type, count;
    GroupEntry entries[1];
};
#pragma pack(pop)

BOOL CALLBACK firstGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out)
{
    *reinterpret_cast<LPWSTR *>(out) = name;
    return FALSE;
}

// The sizes of the first icon group's images, each decoded as Windows decodes it.
std::set<int> iconSizes(const wchar_t *file)
{
    std::set<int> sizes;
    HMODULE mod = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!mod)
        return sizes;
    LPWSTR group = nullptr;
    EnumResourceNamesW(mod, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, firstGroup, LONG_PTR(&group));
    HRSRC res = group ? FindResourceW(mod, group, MAKEINTRESOURCEW(14)) : nullptr;
    const auto *dir = res ? static_cast<const GroupHeader *>(LockResource(LoadResource(mod, res))) : nullptr;
    for (int i = 0; dir && i < dir->count; ++i) {
        HRSRC img = FindResourceW(mod, MAKEINTRESOURCEW(dir->entries[i].id), MAKEINTRESOURCEW(3) /* RT_ICON */);
        if (!img)
            continue;
        auto *bits = static_cast<PBYTE>(LockResource(LoadResource(mod, img)));
        HICON icon = CreateIconFromResourceEx(bits, SizeofResource(mod, img), TRUE, 0x00030000, 0, 0, 0);
        ICONINFO info{};
        BITMAP bm{};
        if (icon && GetIconInfo(icon, &info)
            && GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm))
            sizes.insert(bm.bmWidth);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
        if (icon)
            DestroyIcon(icon);
    }
    FreeLibrary(mod);
    return sizes;
}

// The subsystem field of the PE header: a console program gets a console window beside its own.
WORD subsystem(const wchar_t *file)
{
    std::vector<char> head(4096);
    DWORD got = 0;
    HANDLE h = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    ReadFile(h, head.data(), DWORD(head.size()), &got, nullptr);
    CloseHandle(h);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(head.data());
    if (got < sizeof *dos || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0
        || DWORD(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64) > got)
        return 0;
    return reinterpret_cast<const IMAGE_NT_HEADERS64 *>(head.data() + dos->e_lfanew)->OptionalHeader.Subsystem;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: versioninfo FILE.exe MAJOR.MINOR.PATCH.TWEAK VERSION-STRING\n");
        return 2;
    }
    const wchar_t *file = argv[1];
    const std::string numbers = narrow(argv[2]), text = narrow(argv[3]);

    DWORD handle = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(file, &handle));
    if (data.empty() || !GetFileVersionInfoW(file, 0, DWORD(data.size()), data.data())) {
        std::printf("FAIL no version resource in %s\n", narrow(file).c_str());
        return 1;
    }
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT len = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void **>(&fixed), &len) && fixed) {
        const std::string fv = quad(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        const std::string pv = quad(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
        expect(fv == numbers, "FILEVERSION", fv);
        expect(pv == numbers, "PRODUCTVERSION", pv);
    } else {
        expect(false, "fixed version block", "missing");
    }

    // The strings in the block of the first language the resource lists.
    struct Translation {
        WORD language, codePage;
    } *tr = nullptr;
    VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void **>(&tr), &len);
    wchar_t block[64] = L"\\StringFileInfo\\040904b0\\";
    if (tr && len >= sizeof *tr)
        swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", tr->language, tr->codePage);
    const struct {
        const wchar_t *name;
        std::string want;
    } strings[] = {{L"FileVersion", text},
                   {L"ProductVersion", text},
                   {L"FileDescription", "Ruler"},
                   {L"ProductName", "Zentyr"},
                   {L"InternalName", "Zentyr"}};
    for (const auto &s : strings) {
        const std::wstring path = std::wstring(block) + s.name;
        wchar_t *value = nullptr;
        const bool found = VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void **>(&value), &len);
        const std::string seen = found ? narrow(value) : "(missing)";
        expect(seen == s.want, narrow(s.name).c_str(), seen);
    }

    const WORD sub = subsystem(file);
    expect(sub == IMAGE_SUBSYSTEM_WINDOWS_GUI, "subsystem",
           sub == IMAGE_SUBSYSTEM_WINDOWS_GUI       ? "windows"
               : sub == IMAGE_SUBSYSTEM_WINDOWS_CUI ? "console"
                                                    : std::to_string(sub));

    const std::set<int> sizes = iconSizes(file);
    std::string seen;
    for (int size : sizes)
        seen += std::to_string(size) + " px ";
    expect(sizes == std::set<int>{16, 32}, "icon group", seen.empty() ? "(none)" : seen);
    return failures ? 1 : 0;
}

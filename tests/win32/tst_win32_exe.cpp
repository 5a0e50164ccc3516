// drelvan.exe as it is shipped: one GUI program that needs only what every
// Windows 10 and 11 has, with its version record, icon and manifest, that
// starts, shows its window at the screen's dpi and ends when closed.
//   tst_win32_exe path/to/drelvan.exe
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::wstring program;

// CTest passes the host's path; Wine shows the host's root as drive Z:.
std::wstring windowsPath(const char* path)
{
    std::wstring wide(path, path + std::strlen(path));
    if (!wide.empty() && wide[0] == L'/')
        wide = L"Z:" + wide;
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

std::vector<char> bytesOf(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

template <class T>
const T& at(const std::vector<char>& bytes, std::size_t offset)
{
    REQUIRE(offset + sizeof(T) <= bytes.size());
    return *reinterpret_cast<const T*>(bytes.data() + offset);
}

// The DLLs named in the import table, in upper case.
std::set<std::string> importedDlls(const std::vector<char>& bytes, WORD& subsystem)
{
    const auto& nt = at<IMAGE_NT_HEADERS64>(bytes, static_cast<std::size_t>(at<IMAGE_DOS_HEADER>(bytes, 0).e_lfanew));
    REQUIRE(nt.Signature == IMAGE_NT_SIGNATURE);
    REQUIRE(nt.OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    subsystem = nt.OptionalHeader.Subsystem;
    const auto* sections = IMAGE_FIRST_SECTION(&nt);
    const auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].Misc.VirtualSize)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        FAIL("no section holds RVA " << rva);
        return 0;
    };
    std::set<std::string> dlls;
    const DWORD table = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    REQUIRE(table != 0);
    for (std::size_t entry = fileOffset(table);; entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto& descriptor = at<IMAGE_IMPORT_DESCRIPTOR>(bytes, entry);
        if (descriptor.Name == 0)
            break;
        std::string name(bytes.data() + fileOffset(descriptor.Name));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::toupper(c)); });
        dlls.insert(name);
    }
    return dlls;
}

UINT expectedDpi()
{
    wchar_t value[16] = L"";
    GetEnvironmentVariableW(L"DRELVAN_WINE_DPI", value, 16);
    return value[0] ? static_cast<UINT>(std::wcstoul(value, nullptr, 10)) : 96;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: tst_win32_exe path/to/drelvan.exe [doctest options]\n", stderr);
        return 2;
    }
    program = windowsPath(argv[1]);
    doctest::Context context(argc - 1, argv + 1);
    return context.run();
}

TEST_CASE("one file, needing only what every Windows has")
{
    const std::vector<char> bytes = bytesOf(program);
    REQUIRE(!bytes.empty());
    CHECK(bytes.size() <= 1024 * 1024);
    WORD subsystem = 0;
    const std::set<std::string> dlls = importedDlls(bytes, subsystem);
    CHECK(subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI); // no console window
    // The C run-time of every Windows (msvcrt.dll) and the core of the window
    // system; the C++ run-time and threads are linked in. No ADVAPI32: the
    // program has nothing to do with the registry.
    const std::set<std::string> everyWindows{"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "MSVCRT.DLL"};
    for (const std::string& dll : dlls) {
        CAPTURE(dll);
        CHECK(everyWindows.count(dll) == 1);
    }
}

TEST_CASE("version record")
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &handle);
    REQUIRE(size > 0);
    std::vector<char> record(size);
    REQUIRE(GetFileVersionInfoW(program.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    CHECK(fixed->dwFileVersionMS == 0x00010000);
    CHECK(fixed->dwFileVersionLS == 0);
    CHECK(fixed->dwProductVersionMS == 0x00010000);
    CHECK(fixed->dwProductVersionLS == 0);
    CHECK(fixed->dwFileType == VFT_APP);

    struct Row {
        const wchar_t* field;
        std::wstring expected;
    };
    const Row rows[] = {
        {L"FileVersion", L"1.00"},
        {L"ProductVersion", L"1.00"},
        {L"ProductName", L"Ostrimar"},
        {L"InternalName", L"Drelvan"},
        {L"OriginalFilename", L"Drelvan.exe"},
        {L"CompanyName", L"https://drelvan.example"},
        {L"LegalCopyright", L"https://drelvan.example"},
        {L"LegalTrademarks", L"https://drelvan.example"},
        {L"FileDescription", L"История - именник на българските ханове"},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.field, row.field + std::wcslen(row.field)));
        wchar_t* value = nullptr;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040204B0\\") + row.field;
        REQUIRE(VerQueryValueW(record.data(), path.c_str(), reinterpret_cast<void**>(&value), &length));
        CHECK(std::wstring(value) == row.expected);
    }
}

TEST_CASE("icon and manifest")
{
    HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    REQUIRE(image);
    HICON icon = static_cast<HICON>(LoadImageW(image, L"IDI_ICON1", IMAGE_ICON, 32, 32, 0));
    REQUIRE(icon);
    ICONINFO info{};
    REQUIRE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    CHECK(bitmap.bmWidth == 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);

    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    REQUIRE(found);
    const auto* text = static_cast<const char*>(LockResource(LoadResource(image, found)));
    const std::string manifest(text, SizeofResource(image, found));
    CHECK(manifest.find("PerMonitorV2") != std::string::npos);
    CHECK(manifest.find("level=\"asInvoker\"") != std::string::npos);
    FreeLibrary(image);
}

// Started as a learner starts it: it shows its window, laid out at the
// screen's dpi (the manifest is in force), and ends cleanly when closed.
TEST_CASE("it starts and ends")
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    REQUIRE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process));
    CHECK(WaitForInputIdle(process.hProcess, 20000) == 0);

    struct Search {
        DWORD process;
        HWND found = nullptr;
    } search{process.dwProcessId};
    for (int attempt = 0; attempt < 100 && !search.found; ++attempt, Sleep(50))
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t className[32] = L"";
                GetClassNameW(window, className, 32);
                if (owner == s->process && std::wstring(className) == L"Drelvan" && IsWindowVisible(window))
                    s->found = window;
                return !s->found;
            },
            reinterpret_cast<LPARAM>(&search));
    REQUIRE(search.found);

    wchar_t title[128] = L"";
    GetWindowTextW(search.found, title, 128);
    CHECK(std::wstring(title) == L"https://drelvan.example История - български ханове");
    RECT client{};
    GetClientRect(search.found, &client);
    const int scale = static_cast<int>(expectedDpi()) / 96;
    CHECK(client.right == 461 * scale);
    CHECK(client.bottom == 345 * scale);

    PostMessageW(search.found, WM_CLOSE, 0, 0);
    CHECK(WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CHECK(exitCode == 0);
    if (exitCode == STILL_ACTIVE)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

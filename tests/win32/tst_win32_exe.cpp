// drelvan.exe as it is shipped: its version record, icon and manifest read
// back as Windows reads them, and the program started as a learner starts it.
//   tst_win32_exe path/to/drelvan.exe
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include "tests/win32/learner.hpp"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring program;

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
    // CTest passes the host's path; Wine shows the host's root as drive Z:.
    program.assign(argv[1], argv[1] + std::strlen(argv[1]));
    if (program[0] == L'/')
        program = L"Z:" + program;
    std::replace(program.begin(), program.end(), L'/', L'\\');
    doctest::Context context(argc - 1, argv + 1);
    return context.run();
}

TEST_CASE("version record")
{
    DWORD handle = 0;
    std::vector<char> record(GetFileVersionInfoSizeW(program.c_str(), &handle));
    REQUIRE(!record.empty());
    REQUIRE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(record.size()), record.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    CHECK(fixed->dwFileVersionMS == 0x00010000); // 1.0.0.0
    CHECK(fixed->dwFileVersionLS == 0);
    CHECK(fixed->dwProductVersionMS == 0x00010000);
    CHECK(fixed->dwProductVersionLS == 0);
    CHECK(fixed->dwFileType == VFT_APP);

    const std::pair<const wchar_t*, std::wstring> fields[] = {
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
    for (const auto& [field, expected] : fields) {
        CAPTURE(std::string(field, field + std::wcslen(field)));
        wchar_t* value = nullptr;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040204B0\\") + field;
        REQUIRE(VerQueryValueW(record.data(), path.c_str(), reinterpret_cast<void**>(&value), &length));
        CHECK(std::wstring(value) == expected);
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
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    CHECK(bitmap.bmWidth == 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);

    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    REQUIRE(found);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(image, found))),
                               SizeofResource(image, found));
    CHECK(manifest.find("PerMonitorV2") != std::string::npos);
    CHECK(manifest.find("level=\"asInvoker\"") != std::string::npos);
    FreeLibrary(image);
}

// It shows its window, laid out at the screen's dpi (so the manifest is in
// force), and ends cleanly when closed.
TEST_CASE("it starts and ends")
{
    drelvan::test::Started started = drelvan::test::start(program);
    REQUIRE(started.window);

    RECT client{};
    GetClientRect(started.window, &client);
    const int scale = static_cast<int>(expectedDpi()) / 96;
    CHECK(client.right == 461 * scale);
    CHECK(client.bottom == 345 * scale);

    CHECK(drelvan::test::close(started) == 0);
}

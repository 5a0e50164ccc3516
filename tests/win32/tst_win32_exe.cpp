// drelvan.exe as it is shipped: its version record, icon and manifest read
// back as Windows reads them (the only check of the version record and the
// icon resource), and the program started as a learner starts it.
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
    REQUIRE(length == sizeof(VS_FIXEDFILEINFO));
    // The numbers that Windows compares when it installs over an older copy:
    // versions in two 32-bit halves, major << 16 | minor, patch << 16 | build.
    const std::pair<const char*, std::pair<DWORD, DWORD>> numbers[] = {
        {"signature", {fixed->dwSignature, 0xFEEF04BD}},
        {"file version, major and minor", {fixed->dwFileVersionMS, 0x00010000}},
        {"file version, patch and build", {fixed->dwFileVersionLS, 0}},
        {"product version, major and minor", {fixed->dwProductVersionMS, 0x00010000}},
        {"product version, patch and build", {fixed->dwProductVersionLS, 0}},
        {"flags: a release", {fixed->dwFileFlags, 0}},
        {"system: 32-bit Windows", {fixed->dwFileOS, VOS_NT_WINDOWS32}},
        {"type: an application", {fixed->dwFileType, VFT_APP}},
    };
    for (const auto& [name, values] : numbers) {
        INFO(name);
        CHECK(values.first == values.second);
    }

    // Bulgarian (0x0402) with Unicode strings (1200), the one translation,
    // by which Explorer looks up the string table below.
    WORD* translation = nullptr;
    REQUIRE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                           &length));
    REQUIRE(length == 4);
    CHECK(translation[0] == 0x0402);
    CHECK(translation[1] == 1200);

    const std::pair<const wchar_t*, std::wstring> fields[] = {
        {L"FileVersion", L"1.00"},
        {L"ProductVersion", L"1.00"},
        {L"ProductName", L"Ostrimar"},
        {L"InternalName", L"Drelvan"},
        {L"OriginalFilename", L"Drelvan.exe"},
        {L"CompanyName", L"https://drelvan.example"},
        {L"LegalCopyright", L"https://drelvan.example"},
        {L"LegalTrademarks", L"https://drelvan.example"},
        // Cyrillic survives the trip from the UTF-8 script to UTF-16.
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
    const auto resource = [image](const wchar_t* name, const wchar_t* type) {
        HRSRC found = FindResourceW(image, name, type);
        REQUIRE(found);
        return std::string(static_cast<const char*>(LockResource(LoadResource(image, found))),
                           SizeofResource(image, found));
    };
    // A little-endian number of `bytes` bytes.
    const auto number = [](const std::string& data, std::size_t at, std::size_t bytes) {
        REQUIRE(at + bytes <= data.size());
        unsigned value = 0;
        for (std::size_t i = bytes; i-- > 0;)
            value = value << 8 | static_cast<unsigned char>(data[at + i]);
        return value;
    };
    const auto word = [&](const std::string& data, std::size_t at) { return number(data, at, 2); };
    // One image of 32 × 32 in 256 colours, in a group that points at it:
    // colour image and mask one above the other, so twice as high.
    const std::string group = resource(L"IDI_ICON1", MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    CHECK(word(group, 2) == 1); // an icon, not a cursor
    CHECK(word(group, 4) == 1); // one image
    REQUIRE(group.size() >= 6 + 14);
    CHECK(static_cast<unsigned char>(group[6]) == 32); // width
    CHECK(static_cast<unsigned char>(group[7]) == 32); // height
    CHECK(word(group, 6 + 6) == 8); // bits per pixel
    const std::string picture = resource(MAKEINTRESOURCEW(word(group, 6 + 12)), MAKEINTRESOURCEW(3)); // RT_ICON
    struct Field {
        const char* name;
        std::size_t at, bytes;
        unsigned expected;
    };
    for (const Field& field : {Field{"header size", 0, 4, 40}, Field{"width", 4, 4, 32}, Field{"height", 8, 4, 64},
                               Field{"bits per pixel", 14, 2, 8}}) { // BITMAPINFOHEADER
        INFO(field.name);
        CHECK(number(picture, field.at, field.bytes) == field.expected);
    }

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

    const std::string manifest = resource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
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

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

namespace {

std::wstring fileWith(const std::wstring& name, std::string_view bytes)
{
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = folder + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

// What the program says instead of showing its quiz: the message box, read
// and closed as it opens, what it writes to its standard streams, and its
// exit code.
struct Said {
    DWORD status = STILL_ACTIVE;
    std::wstring box;
    std::string out, err;
};

std::string readAll(HANDLE pipe)
{
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(pipe);
    return text;
}

Said said(const std::wstring& arguments)
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE out[2], err[2];
    REQUIRE((CreatePipe(&out[0], &out[1], &inherited, 0) && CreatePipe(&err[0], &err[1], &inherited, 0)));
    SetHandleInformation(out[0], HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(err[0], HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out[1];
    startup.hStdError = err[1];
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    REQUIRE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                           &process));
    CloseHandle(out[1]);
    CloseHandle(err[1]);
    struct Search {
        DWORD process;
        HWND box = nullptr;
    } search{process.dwProcessId};
    for (const DWORD until = GetTickCount() + 20000; !search.box && GetTickCount() < until;) {
        Sleep(50);
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t className[16] = L"";
                GetClassNameW(window, className, 16);
                if (owner == s->process && std::wstring(className) == L"#32770" && IsWindowVisible(window))
                    s->box = window;
                return !s->box;
            },
            reinterpret_cast<LPARAM>(&search));
    }
    Said answer;
    if (search.box) {
        wchar_t text[4096] = L"";
        GetDlgItemTextW(search.box, 0xFFFF, text, 4096);
        answer.box = text;
        PostMessageW(search.box, WM_COMMAND, IDOK, 0);
    }
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &answer.status);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    answer.out = readAll(out[0]);
    answer.err = readAll(err[0]);
    return answer;
}

std::wstring wideOf(std::string_view utf8)
{
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

// The command line answered without a quiz, as the Qt program answers it,
// and a teacher's file that cannot be read: on the standard streams and in
// a message box, which a learner who started the program from a shortcut sees.
TEST_CASE("what the program answers instead of its quiz")
{
    const std::wstring empty = fileWith(L"Празни думи.csv", "");
    struct Row {
        const char* name;
        std::wstring arguments;
        DWORD status;
        std::string out, err; // the start of each
        std::string_view errMentions = "";
    };
    const Row rows[] = {
        {"--help", L"--help", 0, "Usage: drelvan [--help] [--version] [FILE]\n", ""},
        {"--version", L"-v", 0, "Drelvan 1.0.0\n", ""},
        {"an unknown option", L"--bogus", 2, "", "drelvan: unknown option '--bogus'\n"},
        {"two files", L"a.csv b.csv", 2, "", "drelvan: unexpected argument 'b.csv'\n"},
        {"a file that cannot be read", L"\"" + empty + L"\"", 2, "", "", "Празни думи.csv"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        const Said answer = said(row.arguments);
        CHECK(answer.status == row.status);
        CHECK(answer.out.starts_with(row.out));
        CHECK(answer.err.starts_with(row.err));
        CHECK(answer.err.find(row.errMentions) != std::string::npos);
        CHECK(answer.out.empty() == row.out.empty());
        CHECK(answer.err.empty() == (row.status == 0));
        std::wstring told = wideOf(answer.out + answer.err);
        while (!told.empty() && told.back() == L'\n')
            told.pop_back();
        CHECK((!told.empty() && answer.box == told));
    }
}

TEST_CASE("a game on a file named on the command line")
{
    const std::wstring file = fileWith(L"Животни и птици.tsv", "Дума\tПревод\nкотка\tcat\nкуче\tdog\nврана\tcrow\n");
    drelvan::test::Started started = drelvan::test::start(program, L"\"" + file + L"\"");
    REQUIRE(started.window);
    wchar_t title[128] = L"";
    GetWindowTextW(started.window, title, 128);
    CHECK(std::wstring(title) == L"Животни и птици – Drelvan");
    CHECK(SendMessageW(GetDlgItem(started.window, 101), LB_GETCOUNT, 0, 0) == 3);
    CHECK(drelvan::test::close(started) == 0);
}

// The Windows Installer package as a school's IT deploys it: silent install,
// upgrade, refused downgrade and silent removal through msiexec, each
// followed by what Windows then holds: the files, the shortcut, the
// Add/Remove Programs entry, the examples and the "Open with" entries for
// a teacher's files, or nothing at all. Run under Wine in a prefix of
// its own (tests/win32/CMakeLists.txt).
//   tst_win32_msi newer.msi newer-version older.msi older-version
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include "tests/win32/learner.hpp"

#include <windows.h>
#include <knownfolders.h>
#include <msi.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

// The family every Drelvan package belongs to; a package with another
// UpgradeCode would install beside the old one instead of replacing it.
constexpr const wchar_t* upgradeCode = L"{E9ACB067-7464-4F1C-B71A-4CF3F4C95D26}";

struct Package {
    std::wstring path;
    std::wstring version;
};
Package newer, older;

std::wstring widen(const char* text)
{
    return std::wstring(text, text + std::strlen(text));
}

std::string narrow(const std::wstring& text)
{
    std::string result(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), static_cast<int>(result.size()), nullptr,
                        nullptr);
    result.pop_back();
    return result;
}

// CTest passes the host's paths; Wine shows the host's root as drive Z:.
std::wstring windowsPath(const char* hostPath)
{
    std::wstring path = widen(hostPath);
    if (path[0] == L'/')
        path = L"Z:" + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring knownFolder(REFKNOWNFOLDERID id)
{
    wchar_t* path = nullptr;
    REQUIRE(SHGetKnownFolderPath(id, 0, nullptr, &path) == S_OK);
    std::wstring result(path);
    CoTaskMemFree(path);
    return result;
}

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a program to its end and gives its exit code.
DWORD run(std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    REQUIRE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process));
    CHECK(WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

std::vector<std::wstring> installedFamily()
{
    std::vector<std::wstring> products;
    wchar_t code[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(upgradeCode, 0, i, code) == ERROR_SUCCESS; ++i)
        products.emplace_back(code);
    return products;
}

std::wstring productInfo(const std::wstring& product, const wchar_t* property)
{
    wchar_t value[MAX_PATH] = L"";
    DWORD length = MAX_PATH;
    if (MsiGetProductInfoW(product.c_str(), property, value, &length) != ERROR_SUCCESS)
        return {};
    return value;
}

std::wstring registryText(HKEY key, const wchar_t* name)
{
    wchar_t value[MAX_PATH] = L"";
    DWORD size = sizeof value;
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

// A text under HKLM\Software\Classes, or nothing where the key or the value
// is missing; `name` null is the key's default.
std::optional<std::wstring> classesText(const std::wstring& key, const wchar_t* name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                      &opened)
        != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t value[MAX_PATH] = L"";
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = REG_NONE;
    const LSTATUS status = RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value, size / sizeof(wchar_t)).c_str();
}

// The Add/Remove Programs entries named Drelvan, as the values of each.
std::vector<std::vector<std::wstring>> uninstallEntries()
{
    const wchar_t* fields[] = {L"DisplayVersion", L"Publisher", L"URLInfoAbout"};
    std::vector<std::vector<std::wstring>> entries;
    HKEY uninstall = nullptr;
    REQUIRE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                          KEY_READ | KEY_WOW64_64KEY, &uninstall) == ERROR_SUCCESS);
    wchar_t name[256];
    for (DWORD i = 0, length = 256; RegEnumKeyExW(uninstall, i, name, &length, nullptr, nullptr, nullptr, nullptr)
                                    == ERROR_SUCCESS;
         ++i, length = 256) {
        HKEY entry = nullptr;
        if (RegOpenKeyExW(uninstall, name, 0, KEY_READ | KEY_WOW64_64KEY, &entry) != ERROR_SUCCESS)
            continue;
        if (registryText(entry, L"DisplayName") == L"Drelvan") {
            entries.emplace_back();
            for (const wchar_t* field : fields)
                entries.back().push_back(registryText(entry, field));
        }
        RegCloseKey(entry);
    }
    RegCloseKey(uninstall);
    return entries;
}

// What the shortcut starts. Windows writes an advertised shortcut, which
// names the product and component, and Windows Installer finds the key
// file when the learner clicks; Wine writes a plain link to the file.
std::wstring shortcutTarget(const std::wstring& link)
{
    wchar_t path[MAX_PATH] = L"";
    wchar_t product[39] = L"", feature[MAX_FEATURE_CHARS + 1] = L"", component[39] = L"";
    if (MsiGetShortcutTargetW(link.c_str(), product, feature, component) == ERROR_SUCCESS) {
        DWORD length = MAX_PATH;
        MsiGetComponentPathW(product, component, path, &length);
        return path;
    }
    IShellLinkW* shellLink = nullptr;
    REQUIRE(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                             reinterpret_cast<void**>(&shellLink))
            == S_OK);
    IPersistFile* file = nullptr;
    REQUIRE(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK);
    if (file->Load(link.c_str(), STGM_READ) == S_OK)
        shellLink->GetPath(path, MAX_PATH, nullptr, 0);
    file->Release();
    shellLink->Release();
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fputs("usage: tst_win32_msi newer.msi newer-version older.msi older-version [doctest options]\n",
                   stderr);
        return 2;
    }
    newer = {windowsPath(argv[1]), widen(argv[2])};
    older = {windowsPath(argv[3]), widen(argv[4])};
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    doctest::Context context(argc - 4, argv + 4);
    const int result = context.run();
    CoUninitialize();
    return result;
}

TEST_CASE("install, upgrade, refused downgrade, removal")
{
    const std::wstring folder = knownFolder(FOLDERID_ProgramFiles) + L"\\Drelvan";
    const std::wstring program = folder + L"\\drelvan.exe";
    // ALLUSERS=1 makes ProgramMenuFolder the Start menu of all users. Not
    // so in Wine's installer, which always takes the user's (a FIXME in its
    // msi.dll): there the shortcut is looked for where Wine puts it, and the
    // package's choice of folder is msiinfo's to check.
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    const std::wstring shortcut =
        knownFolder(wine ? FOLDERID_Programs : FOLDERID_CommonPrograms) + L"\\Drelvan.lnk";
    const std::wstring otherShortcut =
        knownFolder(wine ? FOLDERID_CommonPrograms : FOLDERID_Programs) + L"\\Drelvan.lnk";

    // One after the other, each on what the step before left; `installed`
    // is the package that Windows must hold afterwards.
    struct Step {
        const char* what;
        const wchar_t* option;
        const Package* package;
        DWORD exitCode;
        const Package* installed;
    };
    const Step steps[] = {
        {"silent install of the older", L"/i", &older, ERROR_SUCCESS, &older},
        {"the newer replaces it", L"/i", &newer, ERROR_SUCCESS, &newer},
        {"the older refuses to go over the newer", L"/i", &older, ERROR_INSTALL_FAILURE, &newer},
        {"silent removal", L"/x", &newer, ERROR_SUCCESS, nullptr},
    };
    // What Windows Installer keeps of an installed product beside the
    // program: the icon and a copy of the package, all gone after removal;
    // and its registration, gone with the product that an upgrade replaced.
    std::vector<std::wstring> kept, products;
    // Which program a double click opens a teacher's file with is the
    // learner's choice: the package only joins the "Open with" list.
    const wchar_t* extensions[] = {L".csv", L".tsv", L".kvtml"};
    std::vector<std::optional<std::wstring>> defaults;
    for (const wchar_t* extension : extensions)
        defaults.push_back(classesText(extension, nullptr));
    for (const Step& step : steps) {
        CAPTURE(std::string(step.what));
        CHECK(run(L"msiexec.exe " + std::wstring(step.option) + L" \"" + step.package->path + L"\" /qn")
              == step.exitCode);

        const bool installed = step.installed != nullptr;
        CHECK(exists(program) == installed);
        CHECK(exists(folder + L"\\LICENSE.txt") == installed);
        CHECK(exists(folder) == installed);
        CHECK(exists(shortcut) == installed);
        CHECK_FALSE(exists(otherShortcut));
        CHECK(exists(folder + L"\\examples\\khans.csv") == installed);
        CHECK(exists(folder + L"\\examples\\khans.kvtml") == installed);

        const std::wstring command = L"\"" + program + L"\" \"%1\"";
        const auto ifInstalled = [installed](const std::wstring& text) {
            return installed ? std::optional(text) : std::nullopt;
        };
        for (const wchar_t* key :
             {L"Applications\\drelvan.exe\\shell\\open\\command", L"Drelvan.Pairs\\shell\\open\\command"}) {
            CAPTURE(narrow(key));
            CHECK(classesText(key, nullptr) == ifInstalled(command));
        }
        CHECK(classesText(L"Applications\\drelvan.exe", L"FriendlyAppName") == ifInstalled(L"Drelvan"));
        CHECK(classesText(L"Drelvan.Pairs", nullptr) == ifInstalled(L"Двойки за Drelvan"));
        for (std::size_t i = 0; i < std::size(extensions); ++i) {
            CAPTURE(narrow(extensions[i]));
            CHECK(classesText(L"Applications\\drelvan.exe\\SupportedTypes", extensions[i]).has_value()
                  == installed);
            CHECK(classesText(std::wstring(extensions[i]) + L"\\OpenWithProgids", L"Drelvan.Pairs").has_value()
                  == installed);
            CHECK(classesText(extensions[i], nullptr) == defaults[i]);
        }

        const auto family = installedFamily();
        const auto entries = uninstallEntries();
        REQUIRE(family.size() == (installed ? 1u : 0u));
        REQUIRE(entries.size() == family.size());
        for (const auto& product : products) {
            CAPTURE(narrow(product));
            CHECK(MsiQueryProductStateW(product.c_str())
                  == (installed && product == family[0] ? INSTALLSTATE_DEFAULT : INSTALLSTATE_UNKNOWN));
        }
        if (!installed) {
            for (const auto& file : kept) {
                CAPTURE(narrow(file));
                CHECK_FALSE(exists(file));
            }
            continue;
        }
        CHECK(narrow(entries[0][0]) == narrow(step.installed->version));
        CHECK(narrow(entries[0][1]) == "the Drelvan authors");
        CHECK(narrow(entries[0][2]) == "https://drelvan.example");
        CHECK(narrow(productInfo(family[0], INSTALLPROPERTY_VERSIONSTRING)) == narrow(step.installed->version));
        // Add/Remove Programs shows the icon that Windows Installer keeps
        // for the product.
        const std::wstring icon = productInfo(family[0], INSTALLPROPERTY_PRODUCTICON);
        CAPTURE(narrow(icon));
        CHECK(exists(icon));
        const std::wstring package = productInfo(family[0], INSTALLPROPERTY_LOCALPACKAGE);
        CHECK(exists(package));
        kept.push_back(icon);
        kept.push_back(package);
        products.push_back(family[0]);

        CHECK(narrow(shortcutTarget(shortcut)) == narrow(program));
        drelvan::test::Started started = drelvan::test::start(program);
        CHECK(started.window);
        CHECK(drelvan::test::close(started) == 0);
    }
}

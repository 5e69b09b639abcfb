// Carries quaddle.exe's resources (manifest, version record, icon) and reports
// what Windows made of them when it started this program: which common
// controls it got, the DPI settings it read, how it scales for DPI, and what
// its version record says.
// Usage: manifestprobe DPI VERSION, for example manifestprobe 144 1.0.0.0;
// exits 0 when everything is as quaddle.exe needs it, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace {

struct Check {
    const char *what;
    std::string got;
    std::string expected;
};

// The major version of the common controls this process got. Windows (and
// Wine) load version 6 from its side-by-side assembly only when the manifest's
// dependency was honoured; otherwise the version 5 copy in the system folder.
std::string commonControlsVersion()
{
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    wchar_t path[MAX_PATH];
    if (!comctl || !GetModuleFileNameW(comctl, path, MAX_PATH))
        return "not loaded";
    std::wstring folder(path);
    for (wchar_t &c : folder)
        c = towlower(c);
    const std::wstring assembly = L"microsoft.windows.common-controls_6595b64144ccf1df_";
    const auto at = folder.find(assembly);
    if (at == std::wstring::npos)
        return "5";
    const auto version = at + assembly.size();
    return std::string(folder.begin() + version, folder.begin() + folder.find(L'.', version));
}

// A setting of the process's activation context, as Windows read it from the
// manifest: a wrong namespace or a malformed manifest leaves it empty.
std::string manifestSetting(const wchar_t *space, const wchar_t *name)
{
    wchar_t value[128] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, nullptr, space, name, value, 128, &written))
        return "absent";
    std::string narrow;
    for (const wchar_t *c = value; *c; ++c)
        narrow += static_cast<char>(*c);
    return narrow;
}

// Wine reports every process as per-monitor aware; Windows only those whose
// manifest asks for it.
std::string dpiAwareness()
{
    switch (GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext())) {
    case DPI_AWARENESS_UNAWARE:
        return "unaware";
    case DPI_AWARENESS_SYSTEM_AWARE:
        return "system";
    case DPI_AWARENESS_PER_MONITOR_AWARE:
        return "per-monitor";
    default:
        return "invalid";
    }
}

std::string fileVersion()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<char> record(size);
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, record.data()) ||
        !VerQueryValueW(record.data(), L"\\", reinterpret_cast<void **>(&fixed), &length))
        return "none";
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + '.' +
           std::to_string(LOWORD(fixed->dwFileVersionMS)) + '.' +
           std::to_string(HIWORD(fixed->dwFileVersionLS)) + '.' +
           std::to_string(LOWORD(fixed->dwFileVersionLS));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fputs("usage: manifestprobe DPI VERSION\n", stderr);
        return 2;
    }
    const bool icon = LoadIconW(GetModuleHandleW(nullptr), L"IDI_ICON1") != nullptr;
    const Check checks[] = {
        {"common controls version", commonControlsVersion(), "6"},
        {"dpiAwareness",
         manifestSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
         "PerMonitorV2,PerMonitor"},
        {"dpiAware",
         manifestSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
         "true/pm"},
        {"DPI awareness", dpiAwareness(), "per-monitor"},
        {"system DPI", std::to_string(GetDpiForSystem()), argv[1]},
        {"file version", fileVersion(), argv[2]},
        {"program icon", icon ? "present" : "missing", "present"},
    };
    int status = 0;
    for (const Check &check : checks) {
        std::printf("%s: %s\n", check.what, check.got.c_str());
        if (check.got != check.expected) {
            std::fprintf(stderr, "manifestprobe: %s is %s, expected %s\n", check.what,
                         check.got.c_str(), check.expected.c_str());
            status = 1;
        }
    }
    return status;
}

// The application-wide calls on Windows: the warning box, the shell, the
// version record.
#include "toolkit/backend.h"
#include "unicode.h"

#include "quaddlefacts.h"

#include <windows.h>

#include <shellapi.h>

#include <utility>
#include <vector>

namespace toolkit::win32 {

namespace {

// The warning box's button reads "确定" like the rest of the program,
// whatever the language of Windows.
thread_local HHOOK boxHook = nullptr;

LRESULT CALLBACK renameOkButton(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t name[16]{};
        GetClassNameW(box, name, static_cast<int>(std::size(name)));
        if (std::wstring_view(name) == L"#32770") {
            SetDlgItemTextW(box, IDOK, L"确定");
            UnhookWindowsHookEx(std::exchange(boxHook, nullptr));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const wchar_t *orNull(const std::wstring &text)
{
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

} // namespace toolkit::win32

namespace toolkit::backend {

void showWarning(std::string_view title, std::string_view prompt)
{
    // Modal to the program's active window; with none active, to all of the
    // program's windows.
    HWND owner = GetActiveWindow();
    UINT type = MB_OK | MB_ICONEXCLAMATION;
    if (!owner)
        type |= MB_TASKMODAL;
    win32::boxHook =
        SetWindowsHookExW(WH_CBT, win32::renameOkButton, nullptr, GetCurrentThreadId());
    MessageBoxW(owner, win32::widen(prompt).c_str(), win32::widen(title).c_str(), type);
    if (win32::boxHook)
        UnhookWindowsHookEx(std::exchange(win32::boxHook, nullptr));
}

bool openDocument(const ShellRequest &request)
{
    const std::wstring operation = win32::widen(request.operation);
    const std::wstring file = win32::widen(request.file);
    const std::wstring parameters = win32::widen(request.parameters);
    const std::wstring directory = win32::widen(request.directory);
    const HINSTANCE result =
        ShellExecuteW(reinterpret_cast<HWND>(request.owner), win32::orNull(operation), file.c_str(),
                      win32::orNull(parameters), win32::orNull(directory), request.showCommand);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

AppVersion versionNumbers()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            break;
        if (length < path.size()) {
            path.resize(length);
            DWORD ignored = 0;
            const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
            std::vector<char> record(size);
            VS_FIXEDFILEINFO *fixed = nullptr;
            UINT fixedSize = 0;
            if (size && GetFileVersionInfoW(path.c_str(), 0, size, record.data()) &&
                VerQueryValueW(record.data(), L"\\", reinterpret_cast<void **>(&fixed),
                               &fixedSize) &&
                fixedSize >= sizeof(VS_FIXEDFILEINFO))
                return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                        HIWORD(fixed->dwFileVersionLS)};
            break;
        }
        path.resize(path.size() * 2);
    }
    // A program without a version record (a test) has the build's own numbers.
    return {quaddle::versionMajor, quaddle::versionMinor, quaddle::versionPatch};
}

} // namespace toolkit::backend

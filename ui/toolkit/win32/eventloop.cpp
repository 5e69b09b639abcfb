// The program's message loop on Windows: the dispatcher every queued message
// goes through, and the work posted to run once control is back in the loop.
#include "eventloop.h"
#include "toolkit/backend.h"
#include "win32window.h"

#include <deque>
#include <functional>
#include <utility>

namespace toolkit::win32 {

namespace {

constexpr wchar_t tasksClass[] = L"QuaddleTasks";
constexpr UINT runTasks = WM_APP;

bool loopRunning = false;

std::deque<std::function<void()>> &tasks()
{
    static std::deque<std::function<void()>> queue;
    return queue;
}

LRESULT CALLBACK tasksProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != runTasks)
        return DefWindowProcW(handle, message, wParam, lParam);
    // Everything queued until now, and what those tasks queue in turn. One
    // wake-up message stands for all of them, so none is lost to a full
    // message queue.
    while (!tasks().empty()) {
        std::function<void()> task = std::move(tasks().front());
        tasks().pop_front();
        task();
    }
    return 0;
}

// A message-only window that receives the wake-ups for posted work.
HWND tasksWindow()
{
    static const HWND window = [] {
        WNDCLASSEXW tasks{};
        tasks.cbSize = sizeof(tasks);
        tasks.lpfnWndProc = tasksProc;
        tasks.hInstance = GetModuleHandleW(nullptr);
        tasks.lpszClassName = tasksClass;
        RegisterClassExW(&tasks);
        return CreateWindowExW(0, tasksClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }();
    return window;
}

} // namespace

void dispatch(MSG &message)
{
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && isFormWindow(root) && IsDialogMessageW(root, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int runEventLoop()
{
    loopRunning = true;
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0)
        dispatch(message);
    loopRunning = false;
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

} // namespace toolkit::win32

namespace toolkit::backend {

void post(std::function<void()> task)
{
    win32::tasks().push_back(std::move(task));
    if (win32::tasks().size() == 1)
        PostMessageW(win32::tasksWindow(), win32::runTasks, 0, 0);
}

void quit()
{
    // Tests handle their events themselves; there is no loop to end.
    if (win32::loopRunning)
        PostQuitMessage(0);
}

} // namespace toolkit::backend

// The program's message loop on Windows: the dispatcher every queued message
// goes through, and the work posted to run once control is back in the loop.
#include "eventloop.h"
#include "toolkit/backend.h"
#include "win32window.h"

#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace toolkit::win32 {

namespace {

constexpr wchar_t tasksClass[] = L"QuaddleTasks";
constexpr UINT runTasks = WM_APP;

bool loopRunning = false;

// The work posted and not yet run. Any thread may post; the windows' thread
// runs it. A wake-up message is sent when a task comes and none is waiting
// to be handled: one stands for everything queued before it is handled, so
// a full message queue loses no task, and every task queued after it is
// handled sends one of its own, so none waits for a wake-up never sent.
struct Tasks {
    std::mutex mutex;
    std::deque<std::function<void()>> queue;
    bool wakeUpWaiting = false;
};

Tasks &tasks()
{
    static Tasks tasks;
    return tasks;
}

std::function<void()> nextTask()
{
    Tasks &all = tasks();
    const std::lock_guard lock(all.mutex);
    if (all.queue.empty())
        return nullptr;
    std::function<void()> task = std::move(all.queue.front());
    all.queue.pop_front();
    return task;
}

LRESULT CALLBACK tasksProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != runTasks)
        return DefWindowProcW(handle, message, wParam, lParam);
    {
        const std::lock_guard lock(tasks().mutex);
        tasks().wakeUpWaiting = false;
    }
    // Everything queued until now, and what is queued meanwhile, in order.
    // Each task runs without the lock, so it may post; one that runs a modal
    // loop (a message box) has the tasks posted meanwhile run inside it, by
    // their own wake-up. A wake-up that finds them run finds nothing to do.
    while (std::function<void()> task = nextTask())
        task();
    return 0;
}

} // namespace

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
    win32::Tasks &tasks = win32::tasks();
    bool wakeUp = false;
    {
        const std::lock_guard lock(tasks.mutex);
        tasks.queue.push_back(std::move(task));
        wakeUp = !std::exchange(tasks.wakeUpWaiting, true);
    }
    // The tasks window was made on the windows' thread (initialize), so its
    // messages go there whichever thread posts.
    if (wakeUp && !PostMessageW(win32::tasksWindow(), win32::runTasks, 0, 0)) {
        // Only a full message queue refuses it: the next post tries again.
        const std::lock_guard lock(tasks.mutex);
        tasks.wakeUpWaiting = false;
    }
}

void quit()
{
    // Tests handle their events themselves; there is no loop to end.
    if (win32::loopRunning)
        PostQuitMessage(0);
}

} // namespace toolkit::backend

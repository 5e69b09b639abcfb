// The page's worker: the program's work that runs away from the windows
// (toolkit::startJob), here found by the name the page sends with each job.
// The JavaScript around it is ui/toolkit/web/worker.js.
#include "every/everyanswer.h"
#include "toolkit/toolkit.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <string_view>

namespace {

// Each by the name its window gives it.
constexpr toolkit::Work works[] = {every::searchWork};

} // namespace

// The answer of the work of that name to the request, in memory of malloc's
// that the caller frees; null where there is no such work, or it failed.
extern "C" EMSCRIPTEN_KEEPALIVE char *quaddle_work(const char *name, const char *request)
{
    for (const toolkit::Work &work : works) {
        if (work.name != name)
            continue;
        try {
            const std::string answer = work.run(request, {});
            char *copy = static_cast<char *>(std::malloc(answer.size() + 1));
            if (copy)
                std::memcpy(copy, answer.c_str(), answer.size() + 1);
            return copy;
        } catch (const std::exception &) {
            return nullptr;
        }
    }
    return nullptr;
}

// Work away from the windows on a desktop: a thread for each job, whose
// answer comes back through the event loop.
#include "backend.h"

#include <thread>
#include <utility>

namespace toolkit::backend {

namespace {

class ThreadJob : public Job
{
public:
    ThreadJob(const Work &work, std::string request, std::function<void(std::string)> done)
        : m_done(std::make_shared<Done>(std::move(done)))
        , m_thread([run = work.run, request = std::move(request),
                    done = std::weak_ptr(m_done)](std::stop_token stop) {
            std::string answer = run(request, stop);
            if (stop.stop_requested())
                return;
            post([done, answer = std::move(answer)]() mutable {
                // Only in the event loop is it known whether the job still
                // stands: its owner's thread destroys it.
                if (const std::shared_ptr<Done> receiver = done.lock())
                    std::exchange(*receiver, nullptr)(std::move(answer));
            });
        })
    {}

    // jthread's destructor asks the work to stop, which it does soon, and
    // waits for it; an answer already posted finds nobody to receive it.
    ~ThreadJob() override = default;

private:
    using Done = std::function<void(std::string)>;

    std::shared_ptr<Done> m_done;
    std::jthread m_thread;
};

} // namespace

std::unique_ptr<Job> startJob(const Work &work, std::string request,
                              std::function<void(std::string answer)> done)
{
    return std::make_unique<ThreadJob>(work, std::move(request), std::move(done));
}

} // namespace toolkit::backend

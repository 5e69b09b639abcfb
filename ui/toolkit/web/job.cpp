// Work away from the windows on the page: each job runs in a worker (a Web
// Worker with the program's own copy of the work, page.cpp), and its answer
// comes back as a page event. A job destroyed before then is abandoned: its
// worker, if still at it, is ended, and its answer never delivered.
#include "page.h"
#include "toolkit/backend.h"
#include "webwindow.h"

#include <map>
#include <utility>

namespace toolkit::web {

namespace {

class WebJob;

std::map<int, WebJob *> &jobs()
{
    static std::map<int, WebJob *> running;
    return running;
}

class WebJob : public Job
{
public:
    WebJob(const Work &work, std::string_view request, std::function<void(std::string)> done)
        : m_done(std::move(done))
    {
        static int lastId = 0;
        m_id = ++lastId;
        jobs()[m_id] = this;
        startWork(m_id, work.name, request);
    }
    ~WebJob() override
    {
        if (jobs().erase(m_id))
            abandonWork(m_id);
    }

    // Its answer, once; the receiver may destroy the job meanwhile.
    void deliver()
    {
        jobs().erase(m_id);
        std::exchange(m_done, nullptr)(answer(m_id));
    }

private:
    int m_id;
    std::function<void(std::string)> m_done;
};

} // namespace

void answerJob(int job)
{
    const auto found = jobs().find(job);
    if (found != jobs().end())
        found->second->deliver();
}

} // namespace toolkit::web

namespace toolkit::backend {

std::unique_ptr<Job> startJob(const Work &work, std::string request,
                              std::function<void(std::string answer)> done)
{
    return std::make_unique<web::WebJob>(work, request, std::move(done));
}

} // namespace toolkit::backend

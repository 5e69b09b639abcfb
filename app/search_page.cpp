// The page's program runs the every-solution search in its worker
// (worker_web.cpp), never in the page: in place of the search, which it
// would otherwise carry for nothing, it has this, which says it cannot.
#include "every/everyanswer.h"

namespace every {

std::string search(std::string_view, std::stop_token)
{
    return {};
}

} // namespace every

#include "RenderThreads.h"

#include <algorithm>
#include <thread>

#include <sched.h>

namespace quorrel::tools {

unsigned UsableProcessors()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return unsigned(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

unsigned ThreadsToUse(unsigned requested, unsigned processors)
{
    if (requested == 0)
        return 0;
    return std::min(requested, std::max(1u, processors));
}

} // namespace quorrel::tools

// Thread priority: one step above normal for the calling thread, where the system allows it.
#include "platform/system/ThreadPriority.h"

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace ThreadPriority {

bool RaiseCurrentThread()
{
    // On Linux a thread's nice value is its own: PRIO_PROCESS with the thread id sets only it.
    const id_t thread = static_cast<id_t>(gettid());
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0); // the calling thread's, inherited from its creator
    if ((nice == -1 && errno != 0) || nice <= PRIO_MIN)
        return false;
    return setpriority(PRIO_PROCESS, thread, nice - 1) == 0;
}

} // namespace ThreadPriority

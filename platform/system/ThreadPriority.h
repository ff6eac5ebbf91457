// Thread priority: one step above normal for the calling thread, where the system allows it.
#pragma once

namespace ThreadPriority {

// Gives the calling thread one step more priority than normal (a nice value one below the
// process's). Linux lets an unprivileged process raise a thread's priority only as far as its
// RLIMIT_NICE allows, which is none by default; without that allowance (or CAP_SYS_NICE) the
// thread keeps normal priority and the result is false. Nothing else changes either way.
bool RaiseCurrentThread();

} // namespace ThreadPriority

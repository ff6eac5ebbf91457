// Eventually: waits, with a generous time-out, until a condition another thread brings about holds.
#pragma once

#include <chrono>
#include <thread>

namespace TestSupport {

// Polls `done` every millisecond until it holds or `limit` has passed; returns its last answer.
// The limit only bounds a hang, so it is far above what any machine needs.
template <typename F> bool Eventually(F done, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

} // namespace TestSupport

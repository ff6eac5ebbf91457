// Finally: runs a clean-up step when the scope is left, however it is left.
#pragma once

#include <utility>

template <typename Step> class Finally {
public:
    explicit Finally(Step step) : step_(std::move(step)) {}
    ~Finally() { step_(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    Step step_;
};

// TCounter: a bounded counter that wraps at its maximum.
#pragma once

// Keeps max >= 1, 0 <= step <= max and count <= max - 1 (count has no lower bound of its own).
class TCounter {
public:
    TCounter() = default;
    explicit TCounter(int max);
    TCounter(int max, int add);

    void SetMaxVal(int value);
    void SetAddVal(int value);
    void SetCount(int value);
    int GetMaxVal() const { return max_; }
    int GetAddVal() const { return step_; }
    int GetCount() const { return count_; }

    // Adds `a`; when the count reaches the maximum it wraps once (by one maximum) and this returns true.
    bool AddVal(int a);
    // Subtracts `a`; a count below zero is clamped to 0 and this returns true.
    bool SubVal(int a);
    bool IncVal() { return AddVal(step_); }
    bool DecVal() { return SubVal(step_); }
    bool IsZero() const { return count_ == 0; }

private:
    int max_ = 9999;
    int step_ = 1;
    int count_ = 0;
};

// Helper threads that run the jobs handed to them while the caller goes on with its own work.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Jobs start in the order they are handed out and their results are collected in the same order.
// A caller that hands out several jobs before it needs the first result never waits on a thread's
// wake-up while the helpers are busy. The data a job touches is the job's alone until its result
// is collected. Destroying the pipeline drops the jobs not started, waits for those under way and
// ends the threads.
class JobPipeline {
public:
    explicit JobPipeline(int threads);
    ~JobPipeline();
    JobPipeline(const JobPipeline&) = delete;
    JobPipeline& operator=(const JobPipeline&) = delete;

    // The job must not throw.
    void Submit(std::function<bool()> job);
    // Waits for the oldest job not collected (there must be one) and returns its result.
    bool Collect();

private:
    struct Job {
        std::function<bool()> run;
        bool done = false;
        bool result = false;
    };
    void Serve();

    std::mutex mutex_;
    std::condition_variable started_; // a job to run, or the end
    std::condition_variable finished_;
    std::deque<std::unique_ptr<Job>> jobs_; // every job not collected, oldest first
    std::deque<Job*> waiting_;              // those not started yet
    bool ending_ = false;
    std::vector<std::thread> threads_;
};

// Helper threads that run the jobs handed to them while the caller goes on with its own work.
#include "base/codecs/JobPipeline.h"

JobPipeline::JobPipeline(int threads)
{
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this] { Serve(); });
}

JobPipeline::~JobPipeline()
{
    {
        std::lock_guard lock(mutex_);
        waiting_.clear();
        ending_ = true;
    }
    started_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void JobPipeline::Submit(std::function<bool()> job)
{
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::make_unique<Job>(Job{std::move(job)}));
        waiting_.push_back(jobs_.back().get());
    }
    started_.notify_one();
}

bool JobPipeline::Collect()
{
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return jobs_.front()->done; });
    const bool result = jobs_.front()->result;
    jobs_.pop_front();
    return result;
}

void JobPipeline::Serve()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        started_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
        if (waiting_.empty())
            return;
        Job* job = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        const bool result = job->run();
        lock.lock();
        job->done = true;
        job->result = result;
        finished_.notify_one();
    }
}

#include "deep_stack.h"

#include <pthread.h>

#include <cstdlib>

namespace solver {

namespace {

// Virtual size only: pages are committed as the recursion touches them.
// Sanitizer builds have far larger frames, hence the generous figure.
constexpr size_t kDeepStackBytes = size_t(1) << 30;

struct Job {
    const std::function<void()> *work;
    std::exception_ptr failure;
};

void *run_job(void *arg) {
    auto *job = static_cast<Job *>(arg);
    try {
        (*job->work)();
    } catch (...) {
        job->failure = std::current_exception();
    }
    return nullptr;
}

}  // namespace

void run_on_deep_stack(const std::function<void()> &work) {
    Job job{&work, nullptr};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, kDeepStackBytes);
    pthread_t thread;
    const bool started = pthread_create(&thread, &attr, run_job, &job) == 0;
    pthread_attr_destroy(&attr);
    if (!started) {
        // No thread to be had: do the work here rather than not at all.
        work();
        return;
    }
    pthread_join(thread, nullptr);
    if (job.failure) std::rethrow_exception(job.failure);
}

}  // namespace solver

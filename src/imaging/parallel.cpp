#include "imaging/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tp {

namespace {

int DefaultThreads()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

std::atomic<int> g_threads{DefaultThreads()};
// Set on threads this module started, so that work they spread further stays on them.
thread_local bool t_inside_parallel_work = false;

}  // namespace

int StartHelpers(std::vector<std::thread>& helpers, int count, const std::function<void()>& work)
{
    try {
        helpers.reserve(static_cast<std::size_t>(std::max(count, 0)));
        for (int t = 0; t < count; ++t) helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // The system would not start another thread (a process limit, no memory for its stack): the work
        // goes on with those that did start, or on the calling thread alone.
    } catch (const std::bad_alloc&) {
    }
    return static_cast<int>(helpers.size());
}

// More threads than cores only cost memory and start-up: the count is clamped to the cores.
void SetWorkerThreads(int count) { g_threads.store(count < 1 ? DefaultThreads() : std::min(count, DefaultThreads())); }

int WorkerThreads() { return g_threads.load(); }

void ParallelFor(int begin, int end, const std::function<void(int)>& body)
{
    const int count = end - begin;
    if (count <= 0) return;
    const int threads = t_inside_parallel_work ? 1 : std::min(WorkerThreads(), count);
    if (threads <= 1) {
        for (int i = begin; i < end; ++i) body(i);
        return;
    }
    // Tasks take the next index as they become free, so uneven rows balance out.
    std::atomic<int> next{begin};
    // A helper's exception (memory running out) is handed to the calling thread once all have stopped.
    std::mutex failure_mutex;
    std::exception_ptr failure;
    auto work = [&] {
        t_inside_parallel_work = true;
        try {
            for (int i = next.fetch_add(1); i < end; i = next.fetch_add(1)) body(i);
        } catch (...) {
            next.store(end);
            std::lock_guard lock(failure_mutex);
            if (!failure) failure = std::current_exception();
        }
        t_inside_parallel_work = false;
    };
    std::vector<std::thread> helpers;
    StartHelpers(helpers, threads - 1, work);
    const bool was_inside = t_inside_parallel_work;
    work();
    t_inside_parallel_work = was_inside;
    for (std::thread& helper : helpers) helper.join();
    if (failure) std::rethrow_exception(failure);
}

void ParallelInvoke(const std::vector<std::function<void()>>& tasks)
{
    ParallelFor(0, static_cast<int>(tasks.size()), [&](int i) { tasks[static_cast<std::size_t>(i)](); });
}

}  // namespace tp

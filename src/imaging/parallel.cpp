#include "imaging/parallel.h"

#include <algorithm>
#include <atomic>
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

void SetWorkerThreads(int count) { g_threads.store(count < 1 ? DefaultThreads() : count); }

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
    auto work = [&] {
        t_inside_parallel_work = true;
        for (int i = next.fetch_add(1); i < end; i = next.fetch_add(1)) body(i);
        t_inside_parallel_work = false;
    };
    std::vector<std::thread> helpers;
    helpers.reserve(static_cast<std::size_t>(threads - 1));
    for (int t = 1; t < threads; ++t) helpers.emplace_back(work);
    const bool was_inside = t_inside_parallel_work;
    work();
    t_inside_parallel_work = was_inside;
    for (std::thread& helper : helpers) helper.join();
}

void ParallelInvoke(const std::vector<std::function<void()>>& tasks)
{
    ParallelFor(0, static_cast<int>(tasks.size()), [&](int i) { tasks[static_cast<std::size_t>(i)](); });
}

}  // namespace tp

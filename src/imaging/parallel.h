// Work spread over the machine's cores. Every use in the engine splits work so that each output is computed
// by exactly one task in the same way as without threads: results never depend on the thread count.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tp {

// How many threads parallel work may use: the cores by default and at most; 1 runs everything on the calling
// thread. Where the system starts fewer threads than asked, the work goes on with those it did start.
// Set once by a front end before work starts (the command line's --threads), read by every parallel loop.
void SetWorkerThreads(int count);
int WorkerThreads();

// Starts up to `count` threads running `work`, as many as the system allows; returns how many started.
int StartHelpers(std::vector<std::thread>& helpers, int count, const std::function<void()>& work);

// Calls body(i) for every i in [begin, end), spread over up to WorkerThreads() threads in contiguous chunks;
// returns when all calls have returned. Nested calls run on the calling thread.
void ParallelFor(int begin, int end, const std::function<void(int)>& body);

// Runs the tasks, spread over up to WorkerThreads() threads; returns when all have returned.
void ParallelInvoke(const std::vector<std::function<void()>>& tasks);

// Makes item i with produce(i) on helper threads working ahead, and hands the items to consume(i, item) on
// the calling thread strictly in order. When consume returns false nothing further is consumed: items
// made ahead are dropped and the helpers stop taking new ones. With one worker thread everything runs on
// the calling thread, one item at a time.
template <typename Item>
void OrderedPipeline(int count, const std::function<Item(int)>& produce, const std::function<bool(int, Item&)>& consume)
{
    const auto in_order_here = [&] {
        for (int i = 0; i < count; ++i) {
            Item item = produce(i);
            if (!consume(i, item)) return;
        }
    };
    const int helpers = std::min(WorkerThreads(), count);
    if (helpers <= 1) return in_order_here();
    std::vector<std::optional<Item>> items(static_cast<std::size_t>(count));
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    std::exception_ptr failure;  // a helper's exception, handed to the calling thread
    // Helpers work at most this far ahead of the consumer, so that items made ahead (whole images, say) never
    // pile up beyond a few per helper however many there are to make.
    const int window = 2 * helpers;
    int consumed = 0;  // guarded by `mutex`
    std::condition_variable room;
    auto work = [&] {
        try {
            for (int i = next.fetch_add(1); i < count && !stop; i = next.fetch_add(1)) {
                {
                    std::unique_lock lock(mutex);
                    room.wait(lock, [&] { return i < consumed + window || stop; });
                    if (stop) break;
                }
                Item item = produce(i);
                std::lock_guard lock(mutex);
                items[static_cast<std::size_t>(i)] = std::move(item);
                ready.notify_all();
            }
        } catch (...) {
            std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
            stop = true;
            ready.notify_all();
        }
    };
    std::vector<std::thread> threads;
    // No thread could be started: everything on the calling thread, in order.
    if (StartHelpers(threads, helpers, work) == 0) return in_order_here();
    for (int i = 0; i < count; ++i) {
        std::unique_lock lock(mutex);
        ready.wait(lock, [&] { return items[static_cast<std::size_t>(i)].has_value() || failure; });
        if (!items[static_cast<std::size_t>(i)].has_value()) break;
        Item item = std::move(*items[static_cast<std::size_t>(i)]);
        items[static_cast<std::size_t>(i)].reset();
        consumed = i + 1;
        lock.unlock();
        room.notify_all();
        if (!consume(i, item)) break;
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    room.notify_all();
    for (std::thread& thread : threads) thread.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace tp

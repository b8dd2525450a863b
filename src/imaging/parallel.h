// Work spread over the machine's cores. Every use in the engine splits work so that each output is computed
// by exactly one task in the same way as without threads: results never depend on the thread count.
#pragma once

#include <functional>
#include <vector>

namespace tp {

// How many threads parallel work may use: the cores by default; 1 runs everything on the calling thread.
// Set once by a front end before work starts (the command line's --threads), read by every parallel loop.
void SetWorkerThreads(int count);
int WorkerThreads();

// Calls body(i) for every i in [begin, end), spread over up to WorkerThreads() threads in contiguous chunks;
// returns when all calls have returned. Nested calls run on the calling thread.
void ParallelFor(int begin, int end, const std::function<void(int)>& body);

// Runs the tasks, spread over up to WorkerThreads() threads; returns when all have returned.
void ParallelInvoke(const std::vector<std::function<void()>>& tasks);

}  // namespace tp

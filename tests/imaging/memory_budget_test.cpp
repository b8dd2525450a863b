#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "imaging/memory_budget.h"

namespace tp {
namespace {

struct BudgetCase {
    std::size_t capacity;
    std::vector<std::size_t> requests;  // each thread reserves these in turn
    int threads;
};

class MemoryBudgetTest : public ::testing::TestWithParam<BudgetCase> {};

// Several threads reserve, hold for a while and give back; what they hold together is counted independently
// of the budget and never exceeds it (a request larger than the budget counts as running alone).
TEST_P(MemoryBudgetTest, NeverLetsMoreThanTheBudgetBeHeld)
{
    const BudgetCase& c = GetParam();
    MemoryBudget budget(c.capacity);
    std::atomic<std::size_t> holding{0};
    std::atomic<bool> over{false};
    auto work = [&] {
        for (const std::size_t bytes : c.requests) {
            const MemoryBudget::Hold hold = budget.Reserve(bytes);
            const std::size_t now = holding += bytes;
            if (now > std::max(c.capacity, bytes)) over = true;
            for (int k = 0; k < 200; ++k) std::this_thread::yield();
            holding -= bytes;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < c.threads; ++t) threads.emplace_back(work);
    for (std::thread& t : threads) t.join();
    EXPECT_FALSE(over);
    EXPECT_EQ(budget.held(), 0u);
    EXPECT_LE(budget.peak_held(), std::max(c.capacity, *std::max_element(c.requests.begin(), c.requests.end())));
}

INSTANTIATE_TEST_SUITE_P(Requests, MemoryBudgetTest,
                         ::testing::Values(BudgetCase{100, {40, 30, 60, 10}, 4},   // some fit together
                                           BudgetCase{100, {100, 1, 99}, 3},       // exactly the budget
                                           BudgetCase{100, {250, 20, 250}, 3},     // larger than the budget
                                           BudgetCase{1000, {1, 2, 3, 4, 5}, 8})); // all fit at once

TEST(MemoryBudgetHoldTest, MovingAHoldKeepsOneReservationAndDestroyingItGivesItBack)
{
    MemoryBudget budget(100);
    {
        MemoryBudget::Hold first = budget.Reserve(60);
        MemoryBudget::Hold second = std::move(first);
        EXPECT_EQ(first.bytes(), 0u);
        EXPECT_EQ(second.bytes(), 60u);
        EXPECT_EQ(budget.held(), 60u);
        second = budget.Reserve(30);  // reserved before the 60 it replaces go back
        EXPECT_EQ(budget.held(), 30u);
    }
    EXPECT_EQ(budget.held(), 0u);
    EXPECT_EQ(budget.peak_held(), 90u);
}

TEST(MemoryBudgetDefaultTest, IsAtMostOneGibibyteAndNotNothing)
{
    EXPECT_GT(DefaultMemoryBudget(), 0u);
    EXPECT_LE(DefaultMemoryBudget(), std::size_t{1} << 30);
}

}  // namespace
}  // namespace tp

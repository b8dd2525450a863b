#include "imaging/memory_budget.h"

#include <algorithm>
#include <utility>

#include <unistd.h>

namespace tp {

std::size_t DefaultMemoryBudget()
{
    constexpr std::size_t kCeiling = std::size_t{1} << 30;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || page_size <= 0) return kCeiling;
    const std::size_t quarter = static_cast<std::size_t>(pages) / 4 * static_cast<std::size_t>(page_size);
    return std::min(kCeiling, quarter);
}

MemoryBudget::MemoryBudget(std::size_t capacity_bytes) : capacity_(capacity_bytes) {}

MemoryBudget::Hold::Hold(Hold&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), bytes_(std::exchange(other.bytes_, 0))
{
}

MemoryBudget::Hold& MemoryBudget::Hold::operator=(Hold&& other) noexcept
{
    if (this != &other) {
        Release();
        budget_ = std::exchange(other.budget_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

MemoryBudget::Hold::~Hold() { Release(); }

void MemoryBudget::Hold::Release()
{
    if (budget_) budget_->Give(bytes_);
    budget_ = nullptr;
    bytes_ = 0;
}

MemoryBudget::Hold MemoryBudget::Reserve(std::size_t bytes)
{
    std::unique_lock lock(mutex_);
    const std::uint64_t ticket = next_ticket_++;
    // Served in order, so that a large request is not passed over for ever by a stream of small ones.
    turn_.wait(lock, [&] { return serving_ == ticket && (held_ + bytes <= capacity_ || held_ == 0); });
    held_ += bytes;
    peak_ = std::max(peak_, held_);
    ++serving_;
    lock.unlock();
    turn_.notify_all();
    return Hold(this, bytes);
}

void MemoryBudget::Give(std::size_t bytes)
{
    {
        std::lock_guard lock(mutex_);
        held_ -= bytes;
    }
    turn_.notify_all();
}

std::size_t MemoryBudget::held() const
{
    std::lock_guard lock(mutex_);
    return held_;
}

std::size_t MemoryBudget::peak_held() const
{
    std::lock_guard lock(mutex_);
    return peak_;
}

}  // namespace tp

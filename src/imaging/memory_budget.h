// One number of bytes that the memory-hungry work of a run (decoding pictures that cannot be reduced as they
// are read) may hold at once, however many threads do it. Each piece of work reserves what it will hold
// before it starts and gives it back when done; reservations wait their turn in the order they were asked.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace tp {

// 1 GiB, or a quarter of the machine's memory where that is less.
std::size_t DefaultMemoryBudget();

class MemoryBudget {
public:
    explicit MemoryBudget(std::size_t capacity_bytes = DefaultMemoryBudget());
    MemoryBudget(const MemoryBudget&) = delete;
    MemoryBudget& operator=(const MemoryBudget&) = delete;

    // Bytes reserved until the hold is destroyed (or moved from). An empty hold reserves nothing.
    class Hold {
    public:
        Hold() = default;
        Hold(Hold&& other) noexcept;
        Hold& operator=(Hold&& other) noexcept;
        ~Hold();
        std::size_t bytes() const { return bytes_; }

    private:
        friend class MemoryBudget;
        Hold(MemoryBudget* budget, std::size_t bytes) : budget_(budget), bytes_(bytes) {}
        void Release();
        MemoryBudget* budget_ = nullptr;
        std::size_t bytes_ = 0;
    };

    // Waits until `bytes` fit beside what is held and every earlier request has been served. A request
    // larger than the whole budget waits until nothing else is held and then runs alone.
    Hold Reserve(std::size_t bytes);

    std::size_t capacity() const { return capacity_; }
    std::size_t held() const;
    // The most ever held at once.
    std::size_t peak_held() const;

private:
    void Give(std::size_t bytes);

    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable turn_;
    std::size_t held_ = 0;
    std::size_t peak_ = 0;
    std::uint64_t next_ticket_ = 0;  // handed to the next request
    std::uint64_t serving_ = 0;      // the ticket whose turn it is
};

}  // namespace tp

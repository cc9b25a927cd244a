#pragma once

#include <juce_events/juce_events.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <type_traits>

namespace QEL
{
/** Carries small records from any thread to the message thread without allocating, locking or posting.

    Any number of threads post trivially copyable records into a fixed ring (a bounded multi-producer queue
    with a sequence number per cell); a timer on the message thread takes them out in the order their posts
    claimed their cells and hands each to the consumer. A post never waits: when the ring is full the record
    is dropped and the consumer's catch-up callback runs after the next drain, so the owner can read the
    current state again instead of replaying the lost records.

    JUCE's own posts (MessageManager::callAsync, and on Linux AsyncUpdater too) take the message queue's lock
    and may grow its array, so the audio thread never uses them; this one only touches atomics.

    Construct and destroy it on the message thread (or before the message loop runs it); the destructor stops
    the timer, and records still queued then are dropped. */
template <typename Record, int capacity = 256> class MessageThreadHandOff : private juce::Timer
{
    static_assert (std::is_trivially_copyable_v<Record>, "records are copied bytewise between threads");
    static_assert (capacity > 1 && (capacity & (capacity - 1)) == 0, "the capacity is a power of two");

public:
    /** How often the message thread looks for records. */
    static constexpr int defaultIntervalMs = 10;

    /** Starts draining into `consumer`; `catchUp` (optional) runs after a drain that follows a dropped record. */
    explicit MessageThreadHandOff (std::function<void (const Record&)> consumer, std::function<void()> catchUp = {},
                                   int intervalMs = defaultIntervalMs)
        : consume (std::move (consumer)), catchUpAfterDrop (std::move (catchUp))
    {
        for (size_t i = 0; i < cells.size(); ++i)
            cells[i].sequence.store (i, std::memory_order_relaxed);
        startTimer (intervalMs);
    }

    /** Stops the timer; queued records are dropped. */
    ~MessageThreadHandOff() override { stopTimer(); }

    /** Delivers nothing more: an owner that may be destroyed off the message thread calls this first. */
    void stop() { stopTimer(); }

    /** Queues a record from any thread; false (and the catch-up flag raised) when the ring is full. Never
        allocates, locks or waits. */
    bool post (const Record& record) noexcept
    {
        auto position = enqueuePosition.load (std::memory_order_relaxed);
        for (;;)
        {
            auto& cell = cells[position & mask];
            const auto sequence = cell.sequence.load (std::memory_order_acquire);
            const auto lag = (std::intptr_t) sequence - (std::intptr_t) position;

            if (lag == 0)
            {
                if (enqueuePosition.compare_exchange_weak (position, position + 1, std::memory_order_relaxed))
                {
                    cell.record = record;
                    cell.sequence.store (position + 1, std::memory_order_release);
                    return true;
                }
            }
            else if (lag < 0)
            {
                dropped.store (true, std::memory_order_release);
                return false;
            }
            else
            {
                position = enqueuePosition.load (std::memory_order_relaxed);
            }
        }
    }

    /** Hands every record queued so far to the consumer, in order, then runs the catch-up callback if a record
        was dropped. Message thread. */
    void drain()
    {
        Record record;
        while (pop (record))
            consume (record);

        if (dropped.exchange (false, std::memory_order_acq_rel) && catchUpAfterDrop)
            catchUpAfterDrop();
    }

private:
    struct Cell
    {
        std::atomic<size_t> sequence { 0 };
        Record record {};
    };

    static constexpr size_t mask = (size_t) capacity - 1;

    // Single consumer: the message thread. A cell whose writer has claimed it but not finished stops the
    // drain there, so the order stays whole; the rest comes with the next tick.
    bool pop (Record& record) noexcept
    {
        auto& cell = cells[dequeuePosition & mask];
        if (cell.sequence.load (std::memory_order_acquire) != dequeuePosition + 1)
            return false;

        record = cell.record;
        cell.sequence.store (dequeuePosition + (size_t) capacity, std::memory_order_release);
        ++dequeuePosition;
        return true;
    }

    void timerCallback() override { drain(); }

    std::function<void (const Record&)> consume;
    std::function<void()> catchUpAfterDrop;
    std::array<Cell, (size_t) capacity> cells;
    alignas (64) std::atomic<size_t> enqueuePosition { 0 };
    alignas (64) size_t dequeuePosition = 0;
    std::atomic<bool> dropped { false };

    JUCE_DECLARE_NON_COPYABLE (MessageThreadHandOff)
};
} // namespace QEL

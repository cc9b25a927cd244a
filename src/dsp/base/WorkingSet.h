#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace QEL
{
/** The memory a processor's next blocks will read and write, listed on the thread that built it and brought into
    the cache of the thread that will run it, a bounded slice at a time.

    A processor built and cleared on another thread has its memory in that thread's cache or in main memory, and
    its first blocks would wait for it one cache line at a time. Touching those lines ahead, a few kilobytes per
    block, spreads that wait over blocks that have time for it.

    add and addRing run on the building thread (they allocate). touch runs on the audio thread and allocates, locks
    and waits for nothing; it writes each byte it touches back unchanged, so it must be the only thread using the
    memory then. Everything listed must stay where it is until the set is used up or cleared. */
class WorkingSet
{
public:
    /** Bytes of one cache line: the unit touch works in. */
    static constexpr std::size_t lineBytes = 64;

    /** Lists a range of memory. */
    void add (const void* begin, std::size_t bytes);
    /** Lists the first `count` elements of a vector (all of them when it has fewer). */
    template <typename T> void add (const std::vector<T>& v, std::size_t count)
    {
        add (v.data(), std::min (count, v.size()) * sizeof (T));
    }
    /** Lists `count` elements of a ring store of `length` elements of elementSize bytes, from ring position `start`
        (taken modulo the length, so it may lie before 0) forward, wrapping at the end; the whole ring when count
        reaches the length. */
    void addRing (const void* store, std::size_t elementSize, int length, long start, long count);
    /** addRing for a vector used whole as the ring. */
    template <typename T> void addRing (const std::vector<T>& store, long start, long count)
    {
        addRing (store.data(), sizeof (T), (int) store.size(), start, count);
    }

    /** Touches the next cache lines of the listed memory, at least `bytes` of them unless fewer are left (audio
        thread). True once every listed line has been touched. */
    bool touch (std::size_t bytes) noexcept;
    /** True when every listed line has been touched (or nothing was listed). */
    bool isDone() const noexcept { return region >= regions.size(); }
    /** Bytes listed, counted in whole cache lines. */
    std::size_t getTotalBytes() const noexcept { return totalBytes; }
    /** Forgets the listed memory (keeps the list's storage): done at once. */
    void clear() noexcept;

private:
    /** Listed bytes [begin, end). */
    struct Region
    {
        const char* begin = nullptr;
        const char* end = nullptr;
    };

    std::vector<Region> regions;
    std::size_t totalBytes = 0;
    /** The next byte to touch: in regions[region], nullptr when that region has not been started. */
    std::size_t region = 0;
    const char* next = nullptr;
};
} // namespace QEL

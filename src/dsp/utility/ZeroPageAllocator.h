#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <type_traits>
#include <unistd.h>
#include <utility>

namespace QEL
{
/** An allocator for long sample lines that are silent until written: the storage comes straight from the
    system's zero-filled pages and a value-initialised element is not written, so a line that is never
    written takes address space but no memory. A page becomes resident on its first write; prefault() makes
    a range resident ahead of that without changing a value (safe while another thread uses the line).
    Only for trivial element types; allocate and free off the audio thread. */
template <typename T> class ZeroPageAllocator
{
    static_assert (std::is_trivial_v<T>, "elements are left as the zero pages give them");

public:
    /** The element type. */
    using value_type = T;

    /** A stateless allocator. */
    ZeroPageAllocator() noexcept = default;
    /** Any two of these allocators free each other's storage. */
    template <typename U> ZeroPageAllocator (const ZeroPageAllocator<U>&) noexcept {}

    /** Maps count zero-filled elements; none of them is resident yet. */
    T* allocate (std::size_t count)
    {
        void* pages = mmap (nullptr, bytes (count), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (pages == MAP_FAILED)
            throw std::bad_alloc();
        return static_cast<T*> (pages);
    }

    /** Unmaps storage from allocate. */
    void deallocate (T* pointer, std::size_t count) noexcept { munmap (pointer, bytes (count)); }

    /** A value-initialised element is already zero: nothing is written, so its page stays untouched. */
    template <typename U> void construct (U*) noexcept {}
    /** Any other construction writes as usual. */
    template <typename U, typename Arg, typename... Args> void construct (U* p, Arg&& arg, Args&&... args)
    {
        ::new ((void*) p) U (std::forward<Arg> (arg), std::forward<Args> (args)...);
    }

    /** Makes the pages of count elements from first resident without writing a value. */
    static void prefault (const T* first, std::size_t count) noexcept
    {
#ifdef MADV_POPULATE_WRITE
        const auto page = (std::uintptr_t) pageSize();
        const auto begin = (std::uintptr_t) first & ~(page - 1);
        const auto end = (std::uintptr_t) (first + count);
        if (count > 0)
            madvise ((void*) begin, end - begin, MADV_POPULATE_WRITE);
#else
        (void) first;
        (void) count;
#endif
    }

    /** Allocators of this kind are interchangeable. */
    template <typename U> bool operator== (const ZeroPageAllocator<U>&) const noexcept
    {
        return true;
    }
    /** Allocators of this kind are interchangeable. */
    template <typename U> bool operator!= (const ZeroPageAllocator<U>&) const noexcept
    {
        return false;
    }

private:
    static std::size_t bytes (std::size_t count) noexcept
    {
        return std::max<std::size_t> (count, 1) * sizeof (T);
    }
    static long pageSize() noexcept
    {
        return sysconf (_SC_PAGESIZE);
    }
};
} // namespace QEL

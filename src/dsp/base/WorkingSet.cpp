#include "dsp/base/WorkingSet.h"

#include <algorithm>
#include <cstdint>

namespace QEL
{
namespace
{
    const char* lineStart (const void* p) noexcept
    {
        return reinterpret_cast<const char*> (reinterpret_cast<std::uintptr_t> (p) & ~(WorkingSet::lineBytes - 1));
    }
} // namespace

void WorkingSet::add (const void* begin, std::size_t bytes)
{
    if (begin == nullptr || bytes == 0)
        return;

    const auto* first = static_cast<const char*> (begin);
    regions.push_back ({ first, first + bytes });
    totalBytes += (std::size_t) (lineStart (first + bytes - 1) - lineStart (first)) + lineBytes;
}

void WorkingSet::addRing (const void* store, std::size_t elementSize, int length, long start, long count)
{
    if (store == nullptr || length <= 0 || count <= 0)
        return;

    const auto* base = static_cast<const char*> (store);
    if (count >= length)
    {
        add (base, (std::size_t) length * elementSize);
        return;
    }

    start = ((start % length) + length) % length;
    const long direct = std::min (count, (long) length - start);
    add (base + (std::size_t) start * elementSize, (std::size_t) direct * elementSize);
    if (direct < count)
        add (base, (std::size_t) (count - direct) * elementSize);
}

bool WorkingSet::touch (std::size_t bytes) noexcept
{
    for (std::size_t touched = 0; region < regions.size() && touched < bytes; touched += lineBytes)
    {
        const auto& r = regions[region];
        const char* p = next != nullptr ? next : r.begin;

        // One byte of the line, always a listed one (a line's other bytes may belong to memory another thread
        // uses), read and written back: the line comes to this core ready for reading and writing.
        auto* byte = const_cast<volatile char*> (p);
        *byte = *byte;

        next = lineStart (p) + lineBytes;
        if (next >= r.end)
        {
            ++region;
            next = nullptr;
        }
    }
    return isDone();
}

void WorkingSet::clear() noexcept
{
    regions.clear();
    totalBytes = 0;
    region = 0;
    next = nullptr;
}
} // namespace QEL

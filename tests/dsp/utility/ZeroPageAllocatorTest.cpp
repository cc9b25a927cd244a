#include "dsp/utility/ZeroPageAllocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
using Line = std::vector<float, QEL::ZeroPageAllocator<float>>;

/** How many of the pages under a line are resident (mincore). */
size_t residentPages (const Line& line)
{
    const auto page = (std::uintptr_t) sysconf (_SC_PAGESIZE);
    const auto begin = (std::uintptr_t) line.data() & ~(page - 1);
    const auto end = (std::uintptr_t) (line.data() + line.size());
    std::vector<unsigned char> flags ((end - begin + page - 1) / page);
    EXPECT_EQ (mincore ((void*) begin, end - begin, flags.data()), 0);
    return (size_t) std::count_if (flags.begin(), flags.end(), [] (unsigned char f) { return (f & 1) != 0; });
}
} // namespace

TEST (ZeroPageAllocator, ALineIsSilentAndTakesNoMemoryUntilWrittenOrPrefaulted)
{
    constexpr size_t length = 480000; // ten seconds at 48 kHz
    Line line;
    line.resize (length);
    EXPECT_EQ (residentPages (line), 0u) << "a new line writes nothing";

    line[1000] = 0.25f;
    line[length - 1] = -0.5f;
    EXPECT_LE (residentPages (line), 3u) << "only the written pages";

    Line::allocator_type::prefault (line.data(), line.size());
    EXPECT_EQ (residentPages (line), (length * sizeof (float) + 4095) / 4096);
    EXPECT_EQ (line[1000], 0.25f) << "prefaulting writes no value";
    EXPECT_EQ (line[length - 1], -0.5f);
    EXPECT_EQ (std::count (line.begin(), line.end(), 0.0f), (long) length - 2) << "the rest reads as silence";

    const Line copy = line; // copies take the same allocator and the same values
    EXPECT_TRUE (std::equal (copy.begin(), copy.end(), line.begin()));
}

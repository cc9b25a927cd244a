// Heap use of the DSP blocks' process calls. malloc and its family are wrapped for the whole test
// binary (operator new reaches them too), but they only count on a thread that raised its flag,
// so nothing else in the binary is disturbed.
#include "dsp/saturation/ClassAValve.h"
#include "dsp/saturation/ClassBValvePair.h"
#include "dsp/dynamics/GainReductionProcessor.h"
#include "dsp/dynamics/KestraneCL1BProcessor.h"
#include "dsp/dynamics/LookAheadCompressorProcessor.h"
#include "dsp/stereo/MonoStereoProcessor.h"
#include "dsp/utility/QELLoFiProcessor.h"
#include "dsp/eq/QELRevazezaderParallelEqualizerProcessor.h"
#include "dsp/eq/StereoFilterProcessor_V3.h"
#include "dsp/multiplier/QelVocalMultiplierProcessor.h"
#include "dsp/pitch/StftPitchShift.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <thread>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers own malloc; the wrappers below would hand them memory they never saw.
#define TESSARO_COUNT_HEAP_CALLS 0
#else
#define TESSARO_COUNT_HEAP_CALLS 1
#endif

#if TESSARO_COUNT_HEAP_CALLS
extern "C"
{
    void* __libc_malloc (std::size_t);
    void* __libc_calloc (std::size_t, std::size_t);
    void* __libc_realloc (void*, std::size_t);
}
#endif

namespace
{
thread_local bool countHere = false;
thread_local long heapCallsHere = 0;

[[maybe_unused]] void noteHeapCall() noexcept
{
    if (countHere)
        ++heapCallsHere;
}
} // namespace

#if TESSARO_COUNT_HEAP_CALLS
extern "C"
{
    void* malloc (std::size_t size)
    {
        noteHeapCall();
        return __libc_malloc (size);
    }

    void* calloc (std::size_t count, std::size_t size)
    {
        noteHeapCall();
        return __libc_calloc (count, size);
    }

    void* realloc (void* p, std::size_t size)
    {
        noteHeapCall();
        return __libc_realloc (p, size);
    }
}
#endif

namespace
{
/** Heap calls made by this thread while alive. */
struct HeapCalls
{
    HeapCalls() { countHere = true; }
    ~HeapCalls() { countHere = false; }
    long count() const { return heapCallsHere - before; }

private:
    const long before = heapCallsHere;
};

constexpr double rate = 48000.0;
constexpr int blockSize = 256;

/** A block and a change of its settings made between two blocks, the way automation arrives (the EQ band
    steps through every type and slope, so its filters change order). */
struct AllocationCase
{
    const char* name;
    std::function<std::unique_ptr<juce::QELProcessorBase>()> make;
    std::function<void (juce::QELProcessorBase&, int step)> change;
};

template <typename Block> Block& as (juce::QELProcessorBase& b)
{
    return static_cast<Block&> (b);
}

QEL::FilterData band (int step)
{
    QEL::FilterData d;
    d.type = step % 7;
    d.slope = step % 4;
    d.frequency = 500.0f + 100.0f * (float) (step % 7);
    d.gain = 0.5f + 0.25f * (float) (step % 5);
    d.q = 1.0f + (float) (step % 3);
    d.dynamic = step % 2 == 0;
    d.threshold = -30.0f;
    return d;
}

const AllocationCase cases[] = {
    { "lo-fi", [] { return std::make_unique<juce::QELLoFiProcessor>(); },
      [] (auto& b, int step) { as<juce::QELLoFiProcessor> (b).mode = step % 3; } },
    { "signature compressor",
      []
      {
          auto c = std::make_unique<KestraneCL1BProcessor>();
          c->mode = 3;
          c->initCompressor();
          c->autoMakeup = true;
          return c;
      },
      [] (auto& b, int step) { as<KestraneCL1BProcessor> (b).setAmount ((float) (step * 13 % 100)); } },
    { "slay", [] { return std::make_unique<GainReductionProcessor>(); },
      [] (auto& b, int step)
      {
          auto& s = as<GainReductionProcessor> (b);
          s.compressor.setSlay ((float) (step * 17 % 100));
          s.autoGain = step % 2 == 0;
      } },
    { "look-ahead limiter", [] { return std::make_unique<QEL::LookAheadCompressorProcessor>(); },
      [] (auto& b, int step) { b.setBypassSmooth (step % 4 != 3); } },
    { "EQ band", [] { return std::make_unique<QEL::StereoFilterProcessor_V3>(); },
      [] (auto& b, int step) { as<QEL::StereoFilterProcessor_V3> (b).setFilterData (band (step)); } },
    { "parallel EQ", [] { return std::make_unique<juce::QELRevazezaderParallelEqualizerProcessor>(); },
      [] (auto&, int) {} },
    { "width", [] { return std::make_unique<QEL::MonoStereoProcessor>(); },
      [] (auto& b, int step) { as<QEL::MonoStereoProcessor> (b).setWidth ((float) (step * 23 % 101)); } },
    { "class A valve", [] { return std::make_unique<QEL::ClassAValve>(); }, [] (auto&, int) {} },
    { "class B pair", [] { return std::make_unique<QEL::ClassBValvePair>(); }, [] (auto&, int) {} },
    { "vocal multiplier", [] { return std::make_unique<QelVocalMultiplierProcessor>(); },
      [] (auto& b, int step)
      {
          auto& m = as<QelVocalMultiplierProcessor> (b);
          m.setVoicesAmount ((float) (step * 29 % 101));
          m.setLow ((float) (step * 31 % 101));
          m.setSpread ((float) (step * 37 % 151));
          m.setOffset ((float) (step * 41 % 101));
          m.setAmount ((float) (step * 43 % 101));
      } },
};

void fill (juce::AudioBuffer<float>& buffer, int step)
{
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (c, i, 0.8f * std::sin (0.03f * (float) (step * blockSize + i) + (float) c));
}
} // namespace

TEST (ProcessAllocation, CountsOnlyTheFlaggedThread)
{
    if (! TESSARO_COUNT_HEAP_CALLS)
        GTEST_SKIP() << "heap calls are not counted under a sanitizer";
    HeapCalls calls;
    std::thread ([] { delete[] new char[100]; }).join();
    const auto beforeOwn = calls.count();
    delete[] new char[100];
    EXPECT_EQ (calls.count() - beforeOwn, 1);
}

TEST (ProcessAllocation, ProcessCallsNeverTouchTheHeap)
{
    if (! TESSARO_COUNT_HEAP_CALLS)
        GTEST_SKIP() << "heap calls are not counted under a sanitizer";
    for (const auto& c : cases)
    {
        auto block = c.make();
        block->prepare ({ rate, (juce::uint32) blockSize, 2 });
        juce::AudioBuffer<float> buffer (2, blockSize);
        long heapCalls = 0;

        for (int step = 0; step < 200; ++step)
        {
            if (step % 10 == 0)
                c.change (*block, step / 10);
            fill (buffer, step);
            HeapCalls calls;
            block->process (buffer.getArrayOfWritePointers(), buffer.getArrayOfWritePointers(), blockSize, 2, 2);
            heapCalls += calls.count();
        }
        EXPECT_EQ (heapCalls, 0) << c.name;
    }
}

// Heap calls on the audio thread while a host automates every parameter of the loaded bundle.
//
// malloc, calloc, realloc, free and the aligned allocators are replaced for this whole test binary (the bundle,
// loaded with dlopen, binds to them too, and operator new and JUCE's HeapBlock end up here). They count only while
// the calling thread has raised its thread-local flag, which this test does around each processBlock call: the
// plug-in's own threads (the reverb builder), JUCE's timers and the message thread are never counted.
//
// JUCE 7.0.5's VST3 wrapper itself makes one allocation and one release per processed block (outside the product's
// code), so every block is measured against blocks in which nothing changes: any heap call above that is the
// product's.
#include "plugin/Vst3ParameterTable.h"
#include "plugin/Vst3TestSupport.h"

#include <malloc.h>

#include <chrono>
#include <thread>

extern "C"
{
    void* __libc_malloc (size_t);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);
    void __libc_free (void*);
}

namespace
{
thread_local bool countingThisThread = false;
thread_local long heapCallsOnThisThread = 0;

inline void countCall() noexcept
{
    if (countingThisThread)
        ++heapCallsOnThisThread;
}
} // namespace

extern "C"
{
    void* malloc (size_t size)
    {
        countCall();
        return __libc_malloc (size);
    }
    void* calloc (size_t count, size_t size)
    {
        countCall();
        return __libc_calloc (count, size);
    }
    void* realloc (void* p, size_t size)
    {
        countCall();
        return __libc_realloc (p, size);
    }
    void free (void* p)
    {
        if (p != nullptr)
            countCall();
        __libc_free (p);
    }
    void* memalign (size_t alignment, size_t size)
    {
        countCall();
        return __libc_memalign (alignment, size);
    }
    void* aligned_alloc (size_t alignment, size_t size)
    {
        countCall();
        return __libc_memalign (alignment, size);
    }
    int posix_memalign (void** result, size_t alignment, size_t size)
    {
        countCall();
        *result = __libc_memalign (alignment, size);
        return *result != nullptr ? 0 : ENOMEM;
    }
}

namespace tessaro::test
{
namespace
{
    constexpr int blockSize = 256;

    /** A hosted instance whose audio-thread heap calls are counted block by block. */
    class CountedHost
    {
    public:
        explicit CountedHost (double rate) : sampleRate (rate), plugin (Vst3Bundle::create (rate, blockSize))
        {
            plugin->prepareToPlay (sampleRate, blockSize);
            for (int i = 0; i < 200; ++i) // first blocks, the host's queues and the wrapper settle
                process();
            const long before = calls();
            for (int i = 0; i < 100; ++i)
                process();
            perBlock = (calls() - before) / 100;
        }

        /** Runs one block of a voice-like signal with the heap calls counted. */
        void process()
        {
            for (int channel = 0; channel < 2; ++channel)
                for (int i = 0; i < blockSize; ++i)
                    buffer.setSample (channel, i,
                                      0.25f * (float) std::sin (juce::MathConstants<double>::twoPi * 220.0 *
                                                                (double) (phase + i) / sampleRate));
            phase += blockSize;
            countingThisThread = true;
            plugin->processBlock (buffer, midi);
            countingThisThread = false;
            ++blocks;
        }

        long calls() const { return heapCallsOnThisThread; }

        /** Heap calls above the wrapper's own since a mark. */
        long extraSince (long callsMark, long blocksMark) const
        {
            return calls() - callsMark - perBlock * (blocks - blocksMark);
        }

        void set (const char* id, float normalised)
        {
            plugin->getParameters()[parameterIndex (id)]->setValue (normalised);
        }

        const double sampleRate;
        std::unique_ptr<juce::AudioPluginInstance> plugin;
        juce::AudioBuffer<float> buffer { 2, blockSize };
        juce::MidiBuffer midi;
        juce::int64 phase = 0;
        long blocks = 0, perBlock = 0;
    };

    /** The values a host's automation moves a parameter through: both ways of a switch, every choice, the ends
        of a range. */
    std::vector<float> automationValues (const ParameterRow& row)
    {
        const float start = row.normalisedDefault();
        switch (row.kind)
        {
            case ParameterRow::Kind::toggle: return { 1.0f - start, start, 1.0f - start, start };
            case ParameterRow::Kind::choice:
            {
                std::vector<float> values;
                for (int index = 0; index < row.choices.size(); ++index)
                    values.push_back ((float) index / (float) (row.choices.size() - 1));
                for (int index = row.choices.size() - 1; index >= 0; --index)
                    values.push_back ((float) index / (float) (row.choices.size() - 1));
                values.push_back (start);
                return values;
            }
            case ParameterRow::Kind::floating: return { 0.0f, 1.0f, 0.0f, start };
        }
        return {};
    }

    // Switching the module order still prepares the modules on the audio thread; those rows join when the chain
    // re-orders without preparing.
    const juce::StringArray orderSwitches { "paramEnhancePreComp", "paramEQPre", "paramGainPreFx" };

    class Vst3AudioThreadHeap : public ::testing::TestWithParam<double>
    {
    protected:
        ScopedHome home;
    };

    // Every parameter, every value, as host automation delivers it on the audio thread: no heap call in the
    // product's code, at low, common and high rates. The reverb types give the builder time to deliver, so the
    // take-overs and crossfades are counted too.
    TEST_P (Vst3AudioThreadHeap, AutomatingEveryParameterCallsTheHeapOnlyForTheWrapper)
    {
        CountedHost host (GetParam());
        EXPECT_LE (host.perBlock, 2) << "the wrapper's own allocation and release";

        // Reverb and echo audible, so their stages run while the rest is automated.
        for (const auto& [id, plain] : { std::pair { "paramSpaceReverbAmount", 0.5f },
                                         std::pair { "paramSpaceDelayAmount", 0.5f },
                                         std::pair { "paramSpaceDelayType", 0.75f },
                                         std::pair { "paramSpaceReverbType", 0.25f } })
            host.set (id, plain);
        for (int i = 0; i < 20; ++i)
        {
            host.process();
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        }

        juce::StringArray failing;
        for (const auto& row : parameterTable())
        {
            if (orderSwitches.contains (row.id))
                continue;

            const bool reverbType = juce::String (row.id) == "paramSpaceReverbType";
            const long callsMark = host.calls(), blocksMark = host.blocks;
            for (const float value : automationValues (row))
            {
                host.set (row.id, value);
                for (int i = 0; i < (reverbType ? 40 : 4); ++i)
                {
                    host.process();
                    if (reverbType)
                        std::this_thread::sleep_for (std::chrono::milliseconds (5));
                }
            }

            if (const long extra = host.extraSince (callsMark, blocksMark); extra != 0)
                failing.add (juce::String (row.id) + ": " + juce::String (extra) + " heap calls");
        }

        EXPECT_TRUE (failing.isEmpty()) << failing.joinIntoString ("\n");
    }

    INSTANTIATE_TEST_SUITE_P (Rates, Vst3AudioThreadHeap, ::testing::Values (8000.0, 44100.0, 192000.0, 384000.0),
                              [] (const ::testing::TestParamInfo<double>& info)
                              { return std::to_string ((int) info.param) + "Hz"; });
} // namespace
} // namespace tessaro::test

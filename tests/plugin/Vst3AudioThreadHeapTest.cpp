// Heap calls and message posts on the audio thread while a host automates every parameter of the loaded bundle.
//
// malloc, calloc, realloc, free and the aligned allocators are replaced for this whole test binary (the bundle,
// loaded with dlopen, binds to them too, and operator new and JUCE's HeapBlock end up here). They count only while
// the calling thread has raised its thread-local flag, which this test does around each processBlock call: the
// plug-in's own threads (the reverb builder), JUCE's timers and the message thread are never counted.
//
// write() is replaced the same way (exported to the bundle, see tests/CMakeLists.txt): on Linux every message JUCE
// posts wakes the message loop with one byte written to a socket, after taking the message queue's lock, so a
// write on the audio thread is a message post (or file or console work, just as wrong there).
//
// JUCE 7.0.5's VST3 wrapper itself makes one allocation and one release per processed block (outside the product's
// code), so every block is measured against blocks in which nothing changes: any heap call above that is the
// product's. The host side (JUCE's VST3 hosting in this binary) allocates in its own first block; a call counts
// as the bundle's only when a frame of its call stack lies inside the loaded bundle.
#include "plugin/HostedSettings.h"
#include "plugin/Vst3ParameterTable.h"
#include "plugin/Vst3TestSupport.h"

#include <execinfo.h>
#include <link.h>
#include <malloc.h>
#include <sys/syscall.h>
#include <unistd.h>

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
thread_local long bundleHeapCallsOnThisThread = 0;
thread_local long writesOnThisThread = 0;

/** The address range of the loaded bundle's code, found once it is loaded. */
std::atomic<std::uintptr_t> bundleStart { 0 }, bundleEnd { 0 };

bool insideBundle (const void* address) noexcept
{
    const auto a = reinterpret_cast<std::uintptr_t> (address);
    return a >= bundleStart.load() && a < bundleEnd.load();
}

void countBundleCall() noexcept
{
    void* frames[48];
    const int depth = backtrace (frames, 48);
    for (int i = 0; i < depth; ++i)
        if (insideBundle (frames[i]))
        {
            ++bundleHeapCallsOnThisThread;
            return;
        }
}

inline void countCall() noexcept
{
    if (! countingThisThread)
        return;

    ++heapCallsOnThisThread;
    countingThisThread = false; // the unwinder may allocate; that is not the plug-in's
    countBundleCall();
    countingThisThread = true;
}
} // namespace

// AddressSanitizer replaces the allocator itself: there the counting allocator stays out and the counts are
// skipped.
#if defined(__SANITIZE_ADDRESS__)
#define TESSARO_HEAP_COUNTING 0
#else
#define TESSARO_HEAP_COUNTING 1
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
    ssize_t write (int fd, const void* data, size_t size)
    {
        if (countingThisThread)
            ++writesOnThisThread;
        return (ssize_t) syscall (SYS_write, fd, data, size);
    }
}
#endif

namespace tessaro::test
{
namespace
{
    constexpr int blockSize = 256;

    /** Notes where the bundle's code is mapped (it stays loaded once loaded) and loads the unwinder. */
    void findBundle()
    {
        void* warm[4];
        backtrace (warm, 4);
        if (bundleEnd.load() != 0)
            return;

        dl_iterate_phdr (
            [] (dl_phdr_info* info, size_t, void*)
            {
                if (info->dlpi_name == nullptr || ! juce::String (info->dlpi_name).endsWith ("Orvane Tessaro.so"))
                    return 0;
                for (int i = 0; i < info->dlpi_phnum; ++i)
                    if (const auto& header = info->dlpi_phdr[i]; header.p_type == PT_LOAD && (header.p_flags & PF_X))
                    {
                        bundleStart.store (info->dlpi_addr + header.p_vaddr);
                        bundleEnd.store (info->dlpi_addr + header.p_vaddr + header.p_memsz);
                    }
                return 1;
            },
            nullptr);
    }

    /** Runs one block of silence with the heap calls counted; returns the calls made inside the bundle. */
    long bundleCallsOfOneBlock (juce::AudioPluginInstance& plugin)
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        buffer.clear();
        const long before = bundleHeapCallsOnThisThread;
        countingThisThread = true;
        plugin.processBlock (buffer, midi);
        countingThisThread = false;
        return bundleHeapCallsOnThisThread - before;
    }

    /** A hosted instance whose audio-thread heap calls are counted block by block. */
    class CountedHost
    {
    public:
        explicit CountedHost (double rate) : sampleRate (rate), plugin (Vst3Bundle::create (rate, blockSize))
        {
            findBundle();
            plugin->prepareToPlay (sampleRate, blockSize);
            settle();
        }

        /** Runs the first blocks on this thread (the host's queues, the wrapper and this thread's storage in the
            bundle settle), then notes the wrapper's own heap calls per block. */
        void settle()
        {
            for (int i = 0; i < 200; ++i)
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
        long writes() const { return writesOnThisThread; }

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

    /** Makes the reverb and the echo audible, so their stages run while the rest is automated. */
    void startSpace (CountedHost& host)
    {
        for (const auto& [id, plain] :
             { std::pair { "paramSpaceReverbAmount", 0.5f }, std::pair { "paramSpaceDelayAmount", 0.5f },
               std::pair { "paramSpaceDelayType", 0.75f }, std::pair { "paramSpaceReverbType", 0.25f } })
            host.set (id, plain);
        for (int i = 0; i < 20; ++i)
        {
            host.process();
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        }
    }

    /** Moves every parameter through its automation values on this thread, as a host's automation arrives; returns
        the parameters whose blocks called the heap beyond the wrapper's own or posted a message. The reverb types
        give the builder time to deliver, so the take-overs and crossfades are counted too. */
    juce::StringArray automateEveryParameter (CountedHost& host)
    {
        juce::StringArray failing;
        for (const auto& row : parameterTable())
        {
            const bool reverbType = juce::String (row.id) == "paramSpaceReverbType";
            const long callsMark = host.calls(), blocksMark = host.blocks, writesMark = host.writes();
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
            if (const long posts = host.writes() - writesMark; posts != 0)
                failing.add (juce::String (row.id) + ": " + juce::String (posts) + " message posts");
        }
        return failing;
    }

    class Vst3AudioThreadHeap : public ::testing::TestWithParam<double>
    {
    protected:
        ScopedHome home;
    };

    // Every parameter, every value, as host automation delivers it on the audio thread: no heap call and no
    // message post in the product's code, at low, common and high rates.
    TEST_P (Vst3AudioThreadHeap, AutomatingEveryParameterCallsTheHeapOnlyForTheWrapper)
    {
        if (! TESSARO_HEAP_COUNTING)
            GTEST_SKIP() << "the sanitizer owns the allocator";
        CountedHost host (GetParam());
        EXPECT_LE (host.perBlock, 2) << "the wrapper's own allocation and release";

        startSpace (host);
        const auto failing = automateEveryParameter (host);
        EXPECT_TRUE (failing.isEmpty()) << failing.joinIntoString ("\n");
    }

    INSTANTIATE_TEST_SUITE_P (Rates, Vst3AudioThreadHeap, ::testing::Values (8000.0, 44100.0, 192000.0, 384000.0),
                              [] (const ::testing::TestParamInfo<double>& info)
                              { return std::to_string ((int) info.param) + "Hz"; });

    // The same with the editor open, the audio on a thread of its own while the message thread runs its loop,
    // as in a host: every control's attachment and every panel hears each change on the audio thread, and none
    // posts a message or calls the heap there.
    TEST (Vst3AudioThreadHeapWithEditor, AutomatingEveryParameterWithTheEditorOpenPostsNothing)
    {
        if (! TESSARO_HEAP_COUNTING)
            GTEST_SKIP() << "the sanitizer owns the allocator";
        ScopedHome home;
        CountedHost host (48000.0);
        std::unique_ptr<juce::AudioProcessorEditor> editor (host.plugin->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

        std::atomic<bool> done { false };
        juce::StringArray failing;
        long perBlock = 0;
        std::thread audio (
            [&]
            {
                host.settle();
                perBlock = host.perBlock;
                startSpace (host);
                failing = automateEveryParameter (host);
                done = true;
            });
        while (! done.load())
            juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
        audio.join();

        EXPECT_LE (perBlock, 2) << "the wrapper's own allocation and release";
        EXPECT_TRUE (failing.isEmpty()) << failing.joinIntoString ("\n");

        host.plugin->editorBeingDeleted (editor.get());
        editor.reset();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }

    // The first block of a new instance, prepared as a host prepares it, at the defaults and after a restored
    // state with the reverb, the echo and Multiply running: the bundle calls the heap no more than in any later
    // block (the wrapper's own pair).
    TEST (Vst3FirstBlockHeap, FirstBlockOfANewInstanceCallsTheHeapOnlyForTheWrapper)
    {
        if (! TESSARO_HEAP_COUNTING)
            GTEST_SKIP() << "the sanitizer owns the allocator";
        ScopedHome home;
        constexpr double rate = 48000.0;

        juce::MemoryBlock running;
        {
            auto source = Vst3Bundle::create (rate, blockSize);
            source->prepareToPlay (rate, blockSize);
            apply (*source, { { "paramSpaceReverbType", 3.0f },
                              { "paramSpaceReverbAmount", 50.0f },
                              { "paramSpaceDelayType", 2.0f },
                              { "paramSpaceDelayAmount", 50.0f },
                              { "paramMultiplyAmount", 50.0f } });
            bundleCallsOfOneBlock (*source);
            source->getStateInformation (running);
        }

        for (const bool restored : { false, true })
        {
            auto plugin = Vst3Bundle::create (rate, blockSize);
            findBundle();
            if (restored)
                plugin->setStateInformation (running.getData(), (int) running.getSize());
            plugin->prepareToPlay (rate, blockSize);

            const long first = bundleCallsOfOneBlock (*plugin);
            long later = 0;
            for (int i = 0; i < 50; ++i)
                later = bundleCallsOfOneBlock (*plugin);

            EXPECT_TRUE (later > 0 && later <= 2) << "the wrapper's own allocation and release, seen inside the bundle";
            EXPECT_EQ (first, later) << (restored ? "restored state" : "defaults");
        }
    }
} // namespace
} // namespace tessaro::test

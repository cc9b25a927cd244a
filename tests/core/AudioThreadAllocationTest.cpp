// Counts heap allocations and message posts made on the audio thread while the processor runs processBlock.
//
// The global operator new/delete and write() are replaced for the whole test binary, but they only count
// while the calling thread has raised its own thread-local flag, so other tests and other
// threads (JUCE's timers, the message thread) are never disturbed. On Linux every message JUCE posts wakes
// the message loop with one byte written to its socket, so a write on the audio thread is a post (or file or
// console work, which is just as wrong there).
#include "TestSandbox.h"
#include "core/PluginProcessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <random>
#include <thread>
#include <vector>

#include <sys/syscall.h>
#include <unistd.h>

namespace
{
thread_local bool countingThisThread = false;
thread_local long allocationsOnThisThread = 0;
thread_local long releasesOnThisThread = 0;
thread_local long writesOnThisThread = 0;

void* allocate (std::size_t size)
{
    if (countingThisThread)
        ++allocationsOnThisThread;
    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    if (countingThisThread)
        ++allocationsOnThisThread;
    const auto align = std::max ((std::size_t) alignment, sizeof (void*));
    void* p = nullptr;
    if (posix_memalign (&p, align, size == 0 ? 1 : size) == 0)
        return p;
    throw std::bad_alloc();
}

void release (void* p) noexcept
{
    if (p != nullptr && countingThisThread)
        ++releasesOnThisThread;
    std::free (p);
}
} // namespace

void* operator new (std::size_t size)
{
    return allocate (size);
}
void* operator new[] (std::size_t size)
{
    return allocate (size);
}
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return allocate (size);
    }
    catch (...)
    {
        return nullptr;
    }
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return allocate (size);
    }
    catch (...)
    {
        return nullptr;
    }
}
void* operator new (std::size_t size, std::align_val_t a)
{
    return allocateAligned (size, a);
}
void* operator new[] (std::size_t size, std::align_val_t a)
{
    return allocateAligned (size, a);
}
void operator delete (void* p) noexcept
{
    release (p);
}
void operator delete[] (void* p) noexcept
{
    release (p);
}
void operator delete (void* p, std::size_t) noexcept
{
    release (p);
}
void operator delete[] (void* p, std::size_t) noexcept
{
    release (p);
}
void operator delete (void* p, std::align_val_t) noexcept
{
    release (p);
}
void operator delete[] (void* p, std::align_val_t) noexcept
{
    release (p);
}
void operator delete (void* p, std::size_t, std::align_val_t) noexcept
{
    release (p);
}
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept
{
    release (p);
}
void operator delete (void* p, const std::nothrow_t&) noexcept
{
    release (p);
}
void operator delete[] (void* p, const std::nothrow_t&) noexcept
{
    release (p);
}

extern "C" ssize_t write (int fd, const void* data, size_t size)
{
    if (countingThisThread)
        ++writesOnThisThread;
    return (ssize_t) syscall (SYS_write, fd, data, size);
}

namespace
{
/** Heap traffic of the current thread while alive. */
struct HeapCount
{
    HeapCount() { countingThisThread = true; }
    ~HeapCount() { countingThisThread = false; }

    HeapCount (const HeapCount&) = delete;
    HeapCount& operator= (const HeapCount&) = delete;

    long allocations() const { return allocationsOnThisThread - allocationsBefore; }
    long releases() const { return releasesOnThisThread - releasesBefore; }
    /** Messages posted (and any other write). */
    long writes() const { return writesOnThisThread - writesBefore; }

private:
    const long allocationsBefore = allocationsOnThisThread;
    const long releasesBefore = releasesOnThisThread;
    const long writesBefore = writesOnThisThread;
};

constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;

class AudioThreadAllocation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        processor.prepareToPlay (sampleRate, blockSize);
        for (int i = 0; i < 50; ++i) // the first blocks rebuild the module list
            process();
    }

    /** A voice-like block: a sine with a slow swell, on both channels. */
    void fill()
    {
        for (int i = 0; i < blockSize; ++i, ++phase)
        {
            const auto t = (double) phase / sampleRate;
            const auto v =
                (float) (0.3 * (1.0 + std::sin (3.0 * t)) * std::sin (juce::MathConstants<double>::twoPi * 220.0 * t));
            buffer.setSample (0, i, v);
            buffer.setSample (1, i, 0.8f * v);
        }
    }

    /** Chooses a room, has it built and lets it take over, so automation reaches a running room. */
    void startReverb()
    {
        auto* type = processor.parameters.getParameter ("paramSpaceReverbType");
        type->setValueNotifyingHost (type->convertTo0to1 (3.0f));
        processor.tessaroProcessor.spaceProcessor.reverbStage.reverb.buildChosenEngine();
        for (int i = 0; i < 50; ++i)
            process();
    }

    void process()
    {
        fill();
        processor.processBlock (buffer, midi);
    }

    /** Sets a parameter the way the VST3 wrapper does on the audio thread. */
    static void automate (juce::AudioProcessorParameter& parameter, float normalised)
    {
        parameter.setValue (normalised);
        parameter.sendValueChangedMessageToListeners (normalised);
    }

    static juce::String idOf (juce::AudioProcessorParameter* parameter)
    {
        auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter);
        return withId != nullptr ? withId->paramID : juce::String();
    }

    test_support::Sandbox sandbox;
    juce::ScopedJuceInitialiser_GUI juce;
    OrvaneTessaroAudioProcessor processor;
    juce::AudioBuffer<float> buffer { 2, blockSize };
    juce::MidiBuffer midi;
    juce::int64 phase = 0;
};

// The counter sees what this thread allocates, and nothing another thread does meanwhile.
TEST (AudioThreadHeapCount, CountsOnlyTheFlaggedThread)
{
    std::atomic<bool> go { false };
    std::thread other (
        [&go]
        {
            while (! go.load())
                std::this_thread::yield();
            delete new std::vector<int> (100);
        });

    HeapCount count;
    go = true;
    other.join();
    EXPECT_EQ (count.allocations(), 0);

    {
        std::vector<float> onThisThread (64);
        juce::ignoreUnused (onThisThread);
    }
    EXPECT_EQ (count.allocations(), 1);
    EXPECT_EQ (count.releases(), 1);
}

// A message posted from the flagged thread is seen even when it needs no heap call, as an AsyncUpdater's does.
TEST (AudioThreadHeapCount, SeesAMessagePostThatNeedsNoHeap)
{
    struct Updater : juce::AsyncUpdater
    {
        void handleAsyncUpdate() override {}
    } updater;

    long writes = 0;
    std::thread audio (
        [&]
        {
            HeapCount count;
            updater.triggerAsyncUpdate();
            writes = count.writes();
        });
    audio.join();

    EXPECT_EQ (writes, 1);
    updater.cancelPendingUpdate();
}

TEST_F (AudioThreadAllocation, SteadyProcessingAtDefaultsAllocatesNothing)
{
    HeapCount count;
    for (int i = 0; i < 400; ++i)
        process();

    EXPECT_EQ (count.allocations(), 0);
    EXPECT_EQ (count.releases(), 0);
}

// The host's bypass, and leaving it again, keep the heap untouched too.
TEST_F (AudioThreadAllocation, HostBypassAllocatesNothing)
{
    HeapCount count;
    for (int i = 0; i < 400; ++i)
    {
        fill();
        if ((i / 100) % 2 == 0)
            processor.processBlockBypassed (buffer, midi);
        else
            processor.processBlock (buffer, midi);
    }

    EXPECT_EQ (count.allocations(), 0);
    EXPECT_EQ (count.releases(), 0);
}

// Every parameter in turn sweeps its range block by block, the way host automation arrives,
// including toggles flipping and choices stepping through every entry.
TEST_F (AudioThreadAllocation, AutomatingEveryParameterAllocatesNothing)
{
    startReverb();
    juce::StringArray allocating;
    for (auto* parameter : processor.getParameters())
    {
        const auto id = idOf (parameter);
        if (id.isEmpty())
            continue;

        const auto steps = juce::jmax (8, parameter->getNumSteps() <= 32 ? parameter->getNumSteps() : 8);
        HeapCount count;
        for (int step = 0; step <= 2 * steps; ++step)
        {
            const auto up = (float) (step % (steps + 1)) / (float) steps;
            automate (*parameter, step <= steps ? up : 1.0f - up);
            process();
        }
        for (int i = 0; i < 20; ++i) // ramps settle
            process();
        automate (*parameter, parameter->getDefaultValue());
        process();

        if (count.allocations() != 0 || count.releases() != 0)
            allocating.add (id + " (" + juce::String (count.allocations()) + " new, " +
                            juce::String (count.releases()) + " delete)");
    }

    EXPECT_TRUE (allocating.isEmpty()) << allocating.joinIntoString ("\n");
}

// All parameters at once, at random, every block.
TEST_F (AudioThreadAllocation, RandomAutomationOfAllParametersAllocatesNothing)
{
    startReverb();
    juce::Array<juce::AudioProcessorParameter*> automatable;
    for (auto* parameter : processor.getParameters())
        if (const auto id = idOf (parameter); id.isNotEmpty())
            automatable.add (parameter);

    std::mt19937 random (20261211);
    std::uniform_real_distribution<float> value (0.0f, 1.0f);

    HeapCount count;
    for (int block = 0; block < 600; ++block)
    {
        for (int k = 0; k < 4; ++k)
            automate (*automatable[(int) (random() % (unsigned) automatable.size())], value (random));
        process();
    }

    EXPECT_EQ (count.allocations(), 0);
    EXPECT_EQ (count.releases(), 0);
}

// With the editor open, the panels and the controls' attachments hear every change a host's automation makes on
// the audio thread: they hand it to the message thread without a heap call or a message post there, and show it
// once the message loop has run.
TEST_F (AudioThreadAllocation, AutomationWithTheEditorOpenAllocatesAndPostsNothing)
{
    startReverb();
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
    ASSERT_NE (editor, nullptr);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    long allocations = 0, releases = 0, posts = 0;
    std::thread audio (
        [this, &allocations, &releases, &posts]
        {
            HeapCount count;
            for (auto* parameter : processor.getParameters())
            {
                for (const float value : { 1.0f, 0.0f, 0.5f, parameter->getDefaultValue() })
                {
                    automate (*parameter, value);
                    process();
                }
            }
            allocations = count.allocations();
            releases = count.releases();
            posts = count.writes();
        });
    audio.join();

    EXPECT_EQ (allocations, 0);
    EXPECT_EQ (releases, 0);
    EXPECT_EQ (posts, 0);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
}
} // namespace

#include "chain/ReverbProcessor.h"
#include "dsp/reverb/SkyChoraleReverbProcessor.h"
#include "dsp/reverb/SkyCloudReverbProcessor.h"
#include "dsp/reverb/SkyPlateReverbProcessor.h"
#include "dsp/reverb/SkyRoomReverbProcessor.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
using tessaro::dsp::ReverbProcessor;

constexpr double rate = 48000.0;

/** A mode that lists no memory: its holder crossfades to it in the block that takes it, as without a warm-up. */
template <typename Mode> class Unlisted : public Mode
{
public:
    void listWorkingSet (QEL::WorkingSet&, int, int) const override {}
};

/** A holder whose engines are the product's modes, unlisted. */
class UnwarmedHolder : public ReverbProcessor
{
public:
    ~UnwarmedHolder() override { stopBuilding(); }

protected:
    std::unique_ptr<Engine> buildEngine (int type) override
    {
        switch (type)
        {
            case 1: return std::make_unique<Unlisted<QEL::SkyRoomReverbProcessor>>();
            case 2: return std::make_unique<Unlisted<QEL::SkyPlateReverbProcessor>>();
            case 3: return std::make_unique<Unlisted<QEL::SkyChoraleReverbProcessor>>();
            case 4: return std::make_unique<Unlisted<QEL::SkyCloudReverbProcessor>>();
            default: return nullptr;
        }
    }
};

/** What a holder plays from the block that starts its crossfade on, and how long the engine warmed up first. */
struct TakeOver
{
    std::vector<float> left, right;
    int warmUpSamples = 0;
};

/** Plays silence (so only the engine's start matters, not when it came), chooses a type while playing, and from
    the block after the one that starts the crossfade feeds `signal`; returns `length` samples from the start of
    the crossfade. */
TakeOver takeOver (ReverbProcessor& holder, int type, int blockSize, const std::vector<float>& signal, int length)
{
    holder.prepare ({ rate, (juce::uint32) blockSize, 2 });
    juce::AudioBuffer<float> block (2, blockSize);
    const auto process = [&]
    { holder.process (block.getArrayOfWritePointers(), block.getArrayOfWritePointers(), blockSize, 2, 2); };

    block.clear();
    process();
    holder.setReverbType (type);
    holder.buildChosenEngine();

    TakeOver result;
    bool recording = false;
    int fed = 0;
    while ((int) result.left.size() < length)
    {
        block.clear();
        for (int i = 0; recording && i < blockSize; ++i, ++fed)
            for (int channel = 0; channel < 2; ++channel)
                block.setSample (channel, i, fed < (int) signal.size() ? signal[(size_t) fed] : 0.0f);

        const bool warmingBefore = holder.isWarmingUp(), takingOverBefore = holder.isCrossfading();
        process();
        if (holder.isWarmingUp())
            result.warmUpSamples += blockSize;

        // The block that starts the crossfade is recorded from; it still hears silence.
        recording =
            recording || (holder.isCrossfading() && ! holder.isWarmingUp() && (warmingBefore || ! takingOverBefore));
        if (recording)
        {
            result.left.insert (result.left.end(), block.getReadPointer (0), block.getReadPointer (0) + blockSize);
            result.right.insert (result.right.end(), block.getReadPointer (1), block.getReadPointer (1) + blockSize);
        }
    }
    return result;
}
} // namespace

// A new engine warms up while the running one plays on, then is heard exactly as it would have been without the
// warm-up, only later: at most 45 ms at 48 kHz with blocks of 1 or 64 samples, 100 ms with blocks of 512.
TEST (ReverbWarmUp, ChangesNothingHeardAndDelaysTheCrossfadeBoundedly)
{
    std::mt19937 random (7);
    std::normal_distribution<float> noise (0.0f, 0.1f);
    std::vector<float> burst (4800); // 100 ms of noise, then the tail
    for (auto& x : burst)
        x = noise (random);

    struct Case
    {
        int type, blockSize;
        double longestWarmUpMs;
    };
    for (const auto& c : { Case { 1, 64, 45.0 }, Case { 2, 64, 45.0 }, Case { 3, 64, 45.0 }, Case { 4, 64, 45.0 },
                           Case { 3, 512, 100.0 }, Case { 4, 1, 45.0 } })
    {
        SCOPED_TRACE ("type " + std::to_string (c.type) + ", blocks of " + std::to_string (c.blockSize));
        const int length = 24000;
        ReverbProcessor warmed;
        UnwarmedHolder unwarmed;
        const auto heard = takeOver (warmed, c.type, c.blockSize, burst, length);
        const auto reference = takeOver (unwarmed, c.type, c.blockSize, burst, length);

        EXPECT_EQ (reference.warmUpSamples, 0);
        EXPECT_GT (heard.warmUpSamples, 0) << "a product engine lists its memory";
        EXPECT_LE (heard.warmUpSamples * 1000.0 / rate, c.longestWarmUpMs);
        ASSERT_EQ (heard.left.size(), reference.left.size());
        EXPECT_EQ (heard.left, reference.left);
        EXPECT_EQ (heard.right, reference.right);

        float peak = 0.0f;
        for (float x : heard.left)
            peak = std::max (peak, std::abs (x));
        EXPECT_GT (peak, 0.01f) << "the engine is heard";
    }
}

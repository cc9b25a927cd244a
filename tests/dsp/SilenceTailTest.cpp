// Every block with memory, fed silence from the start and then silence after a loud burst:
// silence in must give silence out, and a long silence must end in silence without NaN or
// subnormal values (the tests run without flush-to-zero, as a host that forgets it would).
#include "dsp/filters/AudioFilter.h"
#include "dsp/saturation/ClassAValve.h"
#include "dsp/saturation/ClassBValvePair.h"
#include "dsp/utility/GainProcessor.h"
#include "dsp/dynamics/GainReductionProcessor.h"
#include "dsp/dynamics/KestraneCL1BProcessor.h"
#include "dsp/dynamics/LookAheadCompressorProcessor.h"
#include "dsp/utility/MixProcessor.h"
#include "dsp/stereo/MonoStereoProcessor.h"
#include "dsp/stereo/MonoizerProcessor.h"
#include "dsp/utility/QELBitcrusherProcessor.h"
#include "dsp/utility/QELLoFiProcessor.h"
#include "dsp/eq/QELRevazezaderParallelEqualizerProcessor.h"
#include "dsp/filters/SVCutFilterProcessor.h"
#include "dsp/eq/StereoFilterProcessor_V3.h"
#include "dsp/filters/ZVAFilter.h"
#include "dsp/multiplier/QelVocalMultiplierProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace
{
constexpr double rate = 48000.0;
constexpr int blockSize = 256;

struct TailCase
{
    const char* name;
    std::function<std::unique_ptr<juce::QELProcessorBase>()> make;
};

std::unique_ptr<juce::QELProcessorBase> eqBand (int type, bool dynamic)
{
    auto band = std::make_unique<QEL::StereoFilterProcessor_V3>();
    QEL::FilterData d;
    d.type = type;
    d.frequency = 80.0f;
    d.gain = 4.0f;
    d.q = 4.0f;
    d.slope = 3;
    d.dynamic = dynamic;
    d.threshold = -30.0f;
    band->setFilterData (d);
    return band;
}

const TailCase cases[] = {
    { "gain", [] { return std::make_unique<QEL::GainProcessor>(); } },
    { "mix", [] { return std::make_unique<QEL::MixProcessor>(); } },
    { "lo-fi", [] { return std::make_unique<juce::QELLoFiProcessor>(); } },
    { "bitcrusher",
      []
      {
          auto b = std::make_unique<juce::QELBitcrusherProcessor>();
          b->bitDepth = 6.0f;
          b->downsampleFactor = 3;
          return b;
      } },
    { "cut pair",
      []
      {
          auto p = std::make_unique<QEL::SVCutFilterProcessor<float>>();
          p->setHighPassCutoff (120.0f);
          p->setLowPassCutoff (6000.0f);
          return p;
      } },
    { "audio filter resonant low-pass",
      []
      {
          auto f = std::make_unique<QEL::AudioFilter>();
          f->algorithm = 3;
          f->fc = 60.0;
          f->Q = 8.0;
          return f;
      } },
    { "ZVA filter",
      []
      {
          auto f = std::make_unique<QEL::ZVAFilter>();
          auto p = f->parameters;
          p.fc = 60.0;
          p.Q = 8.0;
          f->setParameters (p);
          return f;
      } },
    { "signature compressor",
      []
      {
          auto c = std::make_unique<KestraneCL1BProcessor>();
          c->mode = 3;
          c->initCompressor();
          c->setAmount (100.0f);
          c->autoMakeup = true;
          return c;
      } },
    { "slay",
      []
      {
          auto s = std::make_unique<GainReductionProcessor>();
          s->compressor.setSlay (50.0f);
          s->autoGain = true;
          return s;
      } },
    { "look-ahead limiter", [] { return std::make_unique<QEL::LookAheadCompressorProcessor>(); } },
    { "EQ band peak", [] { return eqBand (2, false); } },
    { "EQ band dynamic", [] { return eqBand (2, true); } },
    { "EQ band high-pass", [] { return eqBand (0, false); } },
    { "parallel EQ", [] { return std::make_unique<juce::QELRevazezaderParallelEqualizerProcessor>(); } },
    { "width 100",
      []
      {
          auto w = std::make_unique<QEL::MonoStereoProcessor>();
          w->setWidth (100.0f);
          w->setSplit (true, 120.0f);
          return w;
      } },
    { "monoizer", [] { return std::make_unique<QEL::MonoizerProcessor>(); } },
    { "class A valve", [] { return std::make_unique<QEL::ClassAValve>(); } },
    { "class B pair", [] { return std::make_unique<QEL::ClassBValvePair>(); } },
    { "vocal multiplier",
      []
      {
          auto m = std::make_unique<QelVocalMultiplierProcessor>();
          m->setVoicesAmount (100.0f);
          m->setLow (50.0f);
          m->setSpread (150.0f);
          m->setAmount (100.0f);
          return m;
      } },
};

/** Processes seconds of audio in place, block by block; the generator gives channel and sample index. */
template <typename Generator>
juce::AudioBuffer<float> run (juce::QELProcessorBase& block, double seconds, Generator&& generate)
{
    juce::AudioBuffer<float> all (2, (int) (seconds * rate));
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < all.getNumSamples(); ++i)
            all.setSample (c, i, generate (c, i));

    for (int start = 0; start < all.getNumSamples(); start += blockSize)
    {
        const int n = std::min (blockSize, all.getNumSamples() - start);
        float* channels[] = { all.getWritePointer (0, start), all.getWritePointer (1, start) };
        block.process (channels, channels, n, 2, 2);
    }
    return all;
}

/** The first sample that is NaN, infinite or subnormal, or -1. */
int firstBadSample (const juce::AudioBuffer<float>& audio)
{
    for (int c = 0; c < audio.getNumChannels(); ++c)
        for (int i = 0; i < audio.getNumSamples(); ++i)
        {
            const auto kind = std::fpclassify (audio.getSample (c, i));
            if (kind == FP_NAN || kind == FP_INFINITE || kind == FP_SUBNORMAL)
                return i;
        }
    return -1;
}

float peak (const juce::AudioBuffer<float>& audio, int from)
{
    float p = 0.0f;
    for (int c = 0; c < audio.getNumChannels(); ++c)
        p = std::max (p, audio.getMagnitude (c, from, audio.getNumSamples() - from));
    return p;
}
} // namespace

TEST (SilenceTail, SilenceInGivesSilenceOut)
{
    for (const auto& c : cases)
    {
        auto block = c.make();
        block->prepare ({ rate, (juce::uint32) blockSize, 2 });
        const auto out = run (*block, 1.0, [] (int, int) { return 0.0f; });
        EXPECT_EQ (peak (out, 0), 0.0f) << c.name;
    }
}

TEST (SilenceTail, LongSilenceAfterALoudBurstEndsCleanly)
{
    for (const auto& c : cases)
    {
        auto block = c.make();
        block->prepare ({ rate, (juce::uint32) blockSize, 2 });

        juce::Random random (5);
        const int burst = (int) (0.25 * rate);
        const auto out = run (*block, 8.0,
                              [&] (int channel, int i)
                              {
                                  if (i >= burst)
                                      return 0.0f;
                                  const auto tone = 0.9f * std::sin (0.01f * (float) i * (float) (channel + 1));
                                  return tone + 0.3f * (random.nextFloat() * 2.0f - 1.0f);
                              });

        EXPECT_EQ (firstBadSample (out), -1) << c.name;
        EXPECT_LT (peak (out, out.getNumSamples() - (int) rate), 1.0e-6f) << c.name << ": the last second still sounds";
    }
}

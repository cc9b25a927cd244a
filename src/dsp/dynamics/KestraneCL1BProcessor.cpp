#include "dsp/dynamics/KestraneCL1BProcessor.h"

#include <algorithm>
#include <cmath>

namespace
{
struct ModeSettings
{
    double rmsWindowMs;
    bool cl1bStage;
    double releaseMs;
    bool keyHighPassOn;
    int keyHighPassHz;
};

constexpr ModeSettings modeTable[] = {
    { 0.0, false, 100.0, false, 20 },
    { 0.0, false, 250.0, false, 20 },
    { 5.0, false, 250.0, false, 20 },
    { 5.0, true, 250.0, true, 100 },
};
} // namespace

KestraneCL1BProcessor::KestraneCL1BProcessor()
    : compressor (std::make_unique<qel::RiduziCompressor<float>> (2, 44100)), cl1bStages {
          qel::RiduziCompressorGainStageCL1B (44100), qel::RiduziCompressorGainStageCL1B (44100)
      }
{
}

KestraneCL1BProcessor::~KestraneCL1BProcessor() = default;

double KestraneCL1BProcessor::ratioForAmount (float percent) noexcept
{
    const float h = std::pow (percent / 100.0f, 1.5f);
    return 9.0 * (double) h + 1.0;
}

void KestraneCL1BProcessor::setAmount (float percent)
{
    amount.store (percent);
    amountChanged.store (true);
}

void KestraneCL1BProcessor::applyPendingAmount() noexcept
{
    if (amountChanged.exchange (false))
        compressor->setRatio (ratioForAmount (amount.load()));
}

double KestraneCL1BProcessor::getGainReductionDb() const noexcept
{
    return meterGainReductionDb.load (std::memory_order_relaxed);
}

void KestraneCL1BProcessor::initCompressor()
{
    auto& c = *compressor;
    const auto& settings = modeTable[std::clamp (mode, 0, 3)];

    for (size_t i = 0; i < c.sideChains.size(); ++i)
    {
        auto& sideChain = c.sideChains[i];
        sideChain.detectorType = 2;
        sideChain.rmsWindowMs = settings.rmsWindowMs;
        sideChain.releaseMs = settings.releaseMs;
        sideChain.attackMs = 20.0;
        sideChain.setKnee (20.0);
        sideChain.referenceDb = 0.0;
        sideChain.thresholdDb = -40.0;
        sideChain.updateCoefficients();
        sideChain.updateMakeup();

        const bool hasStage = settings.cl1bStage && (i == 0 || (i == 1 && c.numChannels == 2));
        sideChain.externalStage = hasStage ? &cl1bStages[i] : nullptr;
    }

    c.setKeyHighPass (settings.keyHighPassOn, settings.keyHighPassHz);
    c.setKeyLowPass (false, 20000);
    c.stereoLink = 100;
    c.linkWeights[0] = c.linkWeights[1] = 0.5;
    c.inputOffsetDb = 0.0;
    c.keyFromGainReduction = false;
    c.keyFromInput = false;
}

void KestraneCL1BProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);

    const int integerRate = (int) spec.sampleRate;
    compressor->prepare ((int) spec.numChannels, integerRate);
    for (auto& stage : cl1bStages)
        stage.setSampleRate (integerRate);

    initCompressor();
    amountChanged.store (false);
    compressor->setRatio (ratioForAmount (amount.load()));
    meterGainReductionDb.store (0.0);

    inputGain.prepare (spec);
    outputGain.prepare (spec);
    makeupGain.prepare (spec);

    work.setSize ((int) spec.numChannels, std::max ((int) spec.maximumBlockSize, 1), false, false, true);
}

void KestraneCL1BProcessor::reset()
{
    juce::QELProcessorBase::reset();
    inputGain.reset();
    outputGain.reset();
    makeupGain.reset();
}

void KestraneCL1BProcessor::processImpl (const float* const* in, float* const* out, int numSamples,
                                         int numInputChannels, int numOutputChannels)
{
    if (static_cast<const void*> (in) != static_cast<const void*> (out))
        for (int channel = 0; channel < std::min (numInputChannels, numOutputChannels); ++channel)
            if (in[channel] != out[channel])
                juce::FloatVectorOperations::copy (out[channel], in[channel], numSamples);

    applyPendingAmount();
    inputGain.process (out, out, numSamples, numOutputChannels, numOutputChannels);

    const int channels = std::min (numOutputChannels, work.getNumChannels());
    const int pieceSize = work.getNumSamples();

    if (channels > 0 && numSamples > 0)
    {
        float* piece[64];
        for (int start = 0; start < numSamples; start += pieceSize)
        {
            for (int channel = 0; channel < std::min (channels, 64); ++channel)
                piece[channel] = out[channel] + start;

            compressPiece (piece, std::min (pieceSize, numSamples - start), std::min (channels, 64));
        }
    }

    const auto& gains = compressor->gainReductionDb;
    meterGainReductionDb.store (compressor->bypassed || gains.empty() ? 0.0 : gains[0], std::memory_order_relaxed);

    auto& lastStage = autoMakeup.load() ? makeupGain : outputGain;
    lastStage.process (out, out, numSamples, numOutputChannels, numOutputChannels);
}

void KestraneCL1BProcessor::compressPiece (float* const* out, int numSamples, int numChannels) noexcept
{
    for (int channel = 0; channel < numChannels; ++channel)
    {
        double* samples = work.getWritePointer (channel);
        for (int i = 0; i < numSamples; ++i)
            samples[i] = (double) out[channel][i];
    }

    compressor->process (work.getArrayOfWritePointers(), numChannels, numSamples);

    for (int channel = 0; channel < numChannels; ++channel)
    {
        const double* samples = work.getReadPointer (channel);
        for (int i = 0; i < numSamples; ++i)
            out[channel][i] = (float) samples[i];
    }
}

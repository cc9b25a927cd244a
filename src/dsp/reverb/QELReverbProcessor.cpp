#include "dsp/reverb/QELReverbProcessor.h"

#include "dsp/reverb/FastSin.h"
#include "dsp/reverb/ReverbPresets.h"
#include "dsp/reverb/ValueTables.h"

#include <algorithm>
#include <cmath>

namespace QEL
{
using namespace CloudSeed;
using AudioLib::ValueTables;

namespace
{
    double response2Dec (double v) noexcept
    {
        return ValueTables::Get (ValueTables::Response2Dec, v);
    }
    double response3Dec (double v) noexcept
    {
        return ValueTables::Get (ValueTables::Response3Dec, v);
    }
    double response4Oct (double v) noexcept
    {
        return ValueTables::Get (ValueTables::Response4Oct, v);
    }
    /** The normalized line delay every engine is built with. */
    constexpr double commonLineDelay = 0.0;
} // namespace

QELReverbProcessor::QELReverbProcessor (Preset preset) : controller (delayLimitsFor (preset)), builtPreset (preset)
{
    pitchShifter.rampTimes[0] = pitchShifter.rampTimes[1] = 1.0f;

    ValueTables::fill();
    FastSin::fill();

    loadPreset ((int) preset);
    applyCommonSettings();

    controller.channelL.ClearBuffers();
    controller.channelR.ClearBuffers();
}

QELReverbProcessor::~QELReverbProcessor() = default;

//==============================================================================
double QELReverbProcessor::channelValue (Parameter key, double v)
{
    switch (key)
    {
        case HighPass:
        case PostLowShelfFrequency: return 20.0 + 980.0 * response4Oct (v);
        case LowPass:
        case PostHighShelfFrequency:
        case PostCutoffFrequency: return 400.0 + 19600.0 * response4Oct (v);
        case TapGain:
        case PostLowShelfGain:
        case PostHighShelfGain:
        case DryOut:
        case PredelayOut:
        case EarlyOut:
        case MainOut: return response2Dec (v);
        case LineDelay: return (double) (int) (20.0 + 980.0 * response2Dec (v));
        case LineDecay: return 0.05 + 59.95 * response3Dec (v);
        case EarlyDiffusionModAmount:
        case LineModAmount:
        case LateDiffusionModAmount: return 2.5 * v;
        case EarlyDiffusionModRate:
        case LineModRate:
        case LateDiffusionModRate: return 5.0 * response2Dec (v);
        case PreDelay: return (double) (int) (v * 1000.0);
        default: return v;
    }
}

DelayLimits QELReverbProcessor::delayLimitsFor (Preset preset)
{
    DelayLimits limits;
    limits.lineDelayMs = channelValue (LineDelay, commonLineDelay);

    double diffusion = 0.0;
    for (const auto& entry : ReverbPresets::get ((int) preset))
        if (entry.key == DiffusionDelay || entry.key == LateDiffusionDelay)
            diffusion = std::max (diffusion, entry.channelValue.value_or (channelValue (entry.key, entry.normalized)));
    if (diffusion > 0.0)
        limits.diffusionDelayMs = diffusion;
    return limits;
}

void QELReverbProcessor::giveToChannels (Parameter key, double value)
{
    for (auto* channel : { &controller.channelL, &controller.channelR })
    {
        switch (key)
        {
            case PreDelay: channel->SetPreDelay (value); break;
            case HighPass: channel->SetHighPass (value); break;
            case LowPass: channel->SetLowPass (value); break;
            default: channel->SetParameter (key, value); break;
        }
    }
}

void QELReverbProcessor::applyParameter (Parameter key, double normalized, std::optional<double> integerValue)
{
    controller.parameters[(std::size_t) key] = normalized;
    giveToChannels (key, integerValue.value_or (channelValue (key, normalized)));
}

void QELReverbProcessor::loadPreset (int preset)
{
    for (const auto& entry : ReverbPresets::get (preset))
        applyParameter (entry.key, entry.normalized, entry.channelValue);

    presetDryOut = ReverbPresets::dryOut (preset);
}

void QELReverbProcessor::applyCommonSettings()
{
    applyParameter (SingleLine, 0.0);
    applyParameter (LineCount, 0.5, 3.0);
    applyParameter (TapCount, 0.5, 25.0);

    preDelaySeconds = 0.0f;
    setInternalPreDelayS (0.0f);

    applyParameter (LineDelay, commonLineDelay);
    controller.channelL.UpdateLines();
    controller.channelR.UpdateLines();

    setTone (100.0f);
    setMixTarget (0.0f);

    massive = 0.0f;
    setSize (size.load());
    setSize (100.0f);

    wetLowPassCutoff = 20000.0f;
    for (auto& filter : wetLowPass)
        filter.setCoefficients (*juce::dsp::IIR::Coefficients<float>::makeLowPass (
            sampleRate, std::min (wetLowPassCutoff, 0.49f * (float) sampleRate)));

    wetCompressor.attackDetector.setTc (40.0f);
    wetCompressor.releaseDetector.setTc (110.0f);
    wetCompressor.thresholdDb = -50.0f;
    wetCompressor.autoMakeup = true;

    for (auto& duck : duckCompressors)
    {
        duck.setAttack (5.0f);
        duck.setRelease (250.0f);
        duck.setRatio (0.25f);
    }

    for (auto& gate : followGates)
    {
        gate.setAttack (1.0f);
        gate.setRelease (100.0f);
        gate.ratio = 0.01f;
    }

    setPitch (0.0f);

    duckOn = false;
    for (auto& duck : duckCompressors)
        duck.setThresh (0.0f);

    compOn = false;
    setCompRatioTarget (1.0f);

    followOn = false;
    for (auto& gate : followGates)
        gate.setThresh (-100.0f);

    setDriveTarget (std::pow (10.0f, 0.0f / 20.0f));

    // The monoizer designs its side filter for the cut-off when it is prepared.
    monoizer.cutoff = 200.0f;
    monoizer.setBypassSmooth (false);

    monoStereo.mode = MonoStereoProcessor::unchanged;

    takeSmootherTargets();
}

//==============================================================================
void QELReverbProcessor::setEarlyOut (float percent)
{
    applyParameter (EarlyOut, (double) (percent / 100.0f));
}

void QELReverbProcessor::setMainOut (float percent)
{
    applyParameter (MainOut, (double) (percent / 100.0f));
}

void QELReverbProcessor::setInternalPreDelayS (float seconds)
{
    const float s = std::clamp (seconds, 0.0f, 0.99f);
    applyParameter (PreDelay, (double) s);
}

void QELReverbProcessor::setTone (float percent)
{
    const float v = percent / 100.0f;
    const double on = v == 1.0f ? 0.0 : 1.0;
    applyParameter (LowPassEnabled, on);
    applyParameter (LowPass, (double) v);
}

void QELReverbProcessor::setSize (float percent)
{
    size = percent;
    const double v = massive.load() != 0.0f ? percent / 100.0 : (double) (0.5f * percent) / 100.0;
    applyParameter (LineDecay, v);
    controller.channelL.UpdateLines();
    controller.channelR.UpdateLines();
}

void QELReverbProcessor::setPitch (float semitones)
{
    const float factor = semitones > 0.0f ? semitones / 12.0f + 1.0f : (semitones + 12.0f) * 0.5f / 12.0f + 0.5f;
    pitchShifter.pitchFactor = factor;
    pitchShifter.setBypassSmooth (semitones != 0.0f);
}

void QELReverbProcessor::setMainDelayModRate (float percent)
{
    applyParameter (LineModRate, (double) (percent / 100.0f));
    controller.channelL.UpdateLines();
    controller.channelR.UpdateLines();
}

void QELReverbProcessor::setMainDelayModAmount (float percent)
{
    applyParameter (LineModAmount, (double) (percent / 100.0f));
    controller.channelL.UpdateLines();
    controller.channelR.UpdateLines();
}

void QELReverbProcessor::setUseAltMix (bool useAltMix)
{
    const double v = useAltMix ? 0.0 : (double) presetDryOut.value_or (0.0f);
    applyParameter (DryOut, v);
}

//==============================================================================
int QELReverbProcessor::chunkSizeFor (double sampleRate) noexcept
{
    return std::max (1, (int) std::lround (512.0 * sampleRate / 48000.0));
}

void QELReverbProcessor::prepareToPlay (double newSampleRate, int)
{
    // The late lines' feedback store is one chunk long, so the chunk, not the host's block, sets the loop delay.
    const int newSamplesPerBlock = chunkSizeFor (newSampleRate);
    juce::QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);

    controller.channelL.SetSamplerate ((int) newSampleRate, newSamplesPerBlock);
    controller.channelR.SetSamplerate ((int) newSampleRate, newSamplesPerBlock);

    for (auto* input : { &controller.channelInputL, &controller.channelInputR })
        if (input->getNumSamples() != newSamplesPerBlock)
            input->setSize (1, newSamplesPerBlock);
    wetBuffers.setSize (2, newSamplesPerBlock);
    preparedBlockSize = newSamplesPerBlock;

    controller.channelL.ClearBuffers();
    controller.channelR.ClearBuffers();

    wetCompressor.initRuntime();
    wetCompressor.setSampleRate (newSampleRate);
    for (int k = 0; k < 2; ++k)
    {
        duckCompressors[k].initRuntime();
        duckCompressors[k].setSampleRate (newSampleRate);
        followGates[k].initRuntime();
        followGates[k].setSampleRate (newSampleRate);
    }

    const juce::dsp::ProcessSpec spec { newSampleRate, (juce::uint32) newSamplesPerBlock, 2 };
    bitcrusher.prepare (spec);
    wetCut.prepare (spec);
    pitchShifter.prepare (spec);
    monoizer.prepareToPlay (newSampleRate, newSamplesPerBlock);
    monoStereo.prepare (spec);

    // Targets set before the first preparation take effect at once; a running ramp ends at its target.
    takeSmootherTargets();
    mixSmoother.reset (newSampleRate, (double) 0.05f);
    compRatioSmoother.reset (newSampleRate, (double) 0.01f);
    driveSmoother.reset (newSampleRate, (double) 0.01f);

    for (auto& filter : wetLowPass)
    {
        filter.setCoefficients (*juce::dsp::IIR::Coefficients<float>::makeLowPass (
            newSampleRate, std::min (wetLowPassCutoff, 0.49f * (float) newSampleRate)));
        filter.reset();
    }
}

void QELReverbProcessor::reset()
{
    juce::QELProcessorBase::reset();

    controller.channelL.Restart();
    controller.channelR.Restart();
    controller.channelInputL.clear();
    controller.channelInputR.clear();
    wetBuffers.clear();

    for (auto* compressor : { &wetCompressor, &duckCompressors[0], &duckCompressors[1] })
        compressor->reset();
    for (auto& gate : followGates)
    {
        gate.initRuntime();
        gate.holdCounter = 0;
    }

    for (juce::QELProcessorBase* stage : { (juce::QELProcessorBase*) &bitcrusher, (juce::QELProcessorBase*) &wetCut,
                                           (juce::QELProcessorBase*) &pitchShifter,
                                           (juce::QELProcessorBase*) &monoStereo, (juce::QELProcessorBase*) &monoizer })
        stage->reset();
    for (auto& filter : wetLowPass)
        filter.reset();

    takeSmootherTargets();
    for (auto* smoother : { &mixSmoother, &compRatioSmoother, &driveSmoother })
        smoother->setCurrentAndTargetValue (smoother->getTargetValue());
}

void QELReverbProcessor::listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const
{
    // Blocks longer than a chunk run in chunks.
    const int block = std::min (std::max (blockSize, 1), std::max (preparedBlockSize, 1));
    controller.channelL.listWorkingSet (set, samples, block);
    controller.channelR.listWorkingSet (set, samples, block);
    for (const auto* input : { &controller.channelInputL, &controller.channelInputR })
        set.add (input->getReadPointer (0), sizeof (double) * (std::size_t) std::min (block, input->getNumSamples()));
    for (int k = 0; k < wetBuffers.getNumChannels(); ++k)
        set.add (wetBuffers.getReadPointer (k),
                 sizeof (float) * (std::size_t) std::min (block, wetBuffers.getNumSamples()));
}

void QELReverbProcessor::setTempo (double bpm)
{
    juce::QELProcessorBase::setTempo (bpm);
}

void QELReverbProcessor::takeSmootherTargets() noexcept
{
    mixSmoother.setTargetValue (mixTarget.load (std::memory_order_relaxed));
    compRatioSmoother.setTargetValue (compRatioTarget.load (std::memory_order_relaxed));
    driveSmoother.setTargetValue (driveTarget.load (std::memory_order_relaxed));
}

//==============================================================================
void QELReverbProcessor::processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                      int numOutputChannels)
{
    if (preparedBlockSize == 0)
        return;

    numOutputChannels = std::min (numOutputChannels, 2);
    numInputChannels = std::min (numInputChannels, 2);

    if (numSamples <= preparedBlockSize)
    {
        processChunk (in, out, numSamples, numInputChannels, numOutputChannels);
        return;
    }

    // Longer blocks go through in chunks: the channels' buffers and the feedback store hold one chunk.
    for (int start = 0; start < numSamples; start += preparedBlockSize)
    {
        const int n = std::min (preparedBlockSize, numSamples - start);
        const float* pieceIn[2] = { in[0] + start, in[numInputChannels > 1 ? 1 : 0] + start };
        float* pieceOut[2] = { out[0] + start, out[numOutputChannels > 1 ? 1 : 0] + start };
        processChunk (pieceIn, pieceOut, n, numInputChannels, numOutputChannels);
    }
}

void QELReverbProcessor::processChunk (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                       int numOutputChannels)
{
    takeSmootherTargets();

    auto& left = controller.channelL;
    auto& right = controller.channelR;
    auto* inputL = controller.channelInputL.getWritePointer (0);
    auto* inputR = controller.channelInputR.getWritePointer (0);

    if (numSamples <= 0)
    {
        left.Process (inputL, 0);
        right.Process (inputR, 0);
        runWetChain (0, numInputChannels, numOutputChannels);
        return;
    }

    auto* wet0 = wetBuffers.getWritePointer (0);
    auto* wet1 = wetBuffers.getWritePointer (1);
    std::copy (in[0], in[0] + numSamples, wet0);
    const float* second = numInputChannels == 2 ? in[1] : in[0];
    std::copy (second, second + numSamples, wet1);

    if (controller.freeze.load (std::memory_order_relaxed) || controller.kill.load (std::memory_order_relaxed))
    {
        std::fill (inputL, inputL + numSamples, 0.0);
        std::fill (inputR, inputR + numSamples, 0.0);
    }
    else
    {
        const double c = controller.parameters[InputMix].load (std::memory_order_relaxed) * 0.5;
        for (int i = 0; i < numSamples; ++i)
        {
            inputL[i] = (1.0 - c) * wet0[i] + c * wet1[i];
            inputR[i] = (1.0 - c) * wet1[i] + c * wet0[i];
        }
    }

    left.Process (inputL, numSamples);
    right.Process (inputR, numSamples);

    for (int i = 0; i < numSamples; ++i)
    {
        wet0[i] = (float) left.GetOutput()[i];
        wet1[i] = (float) right.GetOutput()[i];
    }

    runWetChain (numSamples, numInputChannels, numOutputChannels);

    // The compressor, the low-pass and the mix each depend on earlier stages only, so they run one after
    // the other over the block with the same per-sample arithmetic.
    compressWet (numSamples, numOutputChannels);
    for (int k = 0; k < numOutputChannels; ++k)
        wetLowPass[k].process (wetBuffers.getWritePointer (k), numSamples);
    mixBlock (in, out, numSamples, numInputChannels, numOutputChannels);
}

void QELReverbProcessor::runWetChain (int numSamples, int numInputChannels, int numOutputChannels)
{
    auto* wet = wetBuffers.getArrayOfWritePointers();
    for (juce::QELProcessorBase* stage : { (juce::QELProcessorBase*) &bitcrusher, (juce::QELProcessorBase*) &wetCut,
                                           (juce::QELProcessorBase*) &pitchShifter,
                                           (juce::QELProcessorBase*) &monoStereo, (juce::QELProcessorBase*) &monoizer })
        stage->process (wet, wet, numSamples, numInputChannels, numOutputChannels);
}

void QELReverbProcessor::compressWet (int numSamples, int numOutputChannels) noexcept
{
    auto* wet = wetBuffers.getArrayOfWritePointers();
    const bool on = compOn.load (std::memory_order_relaxed);

    for (int j = 0; j < numSamples; ++j)
    {
        wetCompressor.ratio.store (compRatioSmoother.getNextValue(), std::memory_order_relaxed);
        if (! on)
            continue;

        float l = wet[0][j];
        float r = numOutputChannels == 2 ? wet[1][j] : l;
        wetCompressor.processSingleSampleStereo (l, r);
        wet[0][j] = l;
        if (numOutputChannels == 2)
            wet[1][j] = r;
    }
}

void QELReverbProcessor::mixBlock (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                   int numOutputChannels) noexcept
{
    auto* wet = wetBuffers.getArrayOfWritePointers();
    const bool duck = duckOn.load (std::memory_order_relaxed);
    const bool follow = followOn.load (std::memory_order_relaxed);

    // With no dynamics and both ramps at rest every sample of a channel takes the same mix and drive, so the
    // channels run one after the other (when no output is another channel's input).
    const bool stillMix = ! duck && ! follow && ! mixSmoother.isSmoothing() && ! driveSmoother.isSmoothing();
    const bool ownInputs = numInputChannels >= numOutputChannels && (numOutputChannels < 2 || out[0] != in[1]);
    if (stillMix && ownInputs && numSamples > 0)
    {
        saturationDrive = driveSmoother.getTargetValue();
        const float t = mixSmoother.getTargetValue() / 100.0f;
        for (int k = 0; k < numOutputChannels; ++k)
            mixStill (in[k], wet[k], out[k], numSamples, t, saturationDrive);
        return;
    }

    for (int j = 0; j < numSamples; ++j)
    {
        const float t = mixSmoother.getNextValue() / 100.0f;
        saturationDrive = driveSmoother.getNextValue();

        for (int k = 0; k < numOutputChannels; ++k)
        {
            const float dry = in[std::min (k, numInputChannels - 1)][j];
            float m = wet[k][j];
            if (duck)
                duckCompressors[k].processSingleSampleMono (m, dry);
            if (follow)
                followGates[k].processSingleSampleMono (m, dry);
            if (saturationDrive > 1.0f)
            {
                const float d = saturationDrive;
                m = std::tanh (m * d) / d;
            }
            out[k][j] = (float) ((double) (m * t) + (double) dry * (1.0 - (double) t));
        }
    }
}

void QELReverbProcessor::mixStill (const float* dry, const float* wet, float* out, int numSamples, float t,
                                   float drive) noexcept
{
    const double dryGain = 1.0 - (double) t;
    if (drive > 1.0f)
    {
        for (int j = 0; j < numSamples; ++j)
        {
            const float m = std::tanh (wet[j] * drive) / drive;
            out[j] = (float) ((double) (m * t) + (double) dry[j] * dryGain);
        }
        return;
    }

    for (int j = 0; j < numSamples; ++j)
        out[j] = (float) ((double) (wet[j] * t) + (double) dry[j] * dryGain);
}
} // namespace QEL

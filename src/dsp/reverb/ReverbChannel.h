#pragma once

#include "dsp/reverb/AllpassDiffuser.h"
#include "dsp/reverb/Biquad.h"
#include "dsp/reverb/CloudSeedDelayLine.h"
#include "dsp/reverb/ModulatedDelay.h"
#include "dsp/reverb/MultitapDiffuser.h"
#include "dsp/reverb/ReverbParameter.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

namespace CloudSeed
{
/** One channel of the algorithmic reverb: input high-pass and low-pass, pre-delay, multitap early
    reflections, an early all-pass diffuser and up to six late lines with feedback, mixed with the dry
    input. Tuned through numbered parameters (Parameter) in channel units; computes in double precision.

    Threads: SetParameter, UpdateLines and the input-filter setters run on the setter thread while Process
    runs on the audio thread. Scalars they share are atomics; filter coefficients reach the audio thread
    through a hand-over taken at the start of a block, so a block never sees half a design; clearing a
    diffuser on a switch is done by the next block. SetSamplerate and ClearBuffers run while no block is
    being processed. */
class ReverbChannel
{
public:
    static constexpr int numLines = 6;

    /** Builds the channel for a side at 44100 Hz, its line and diffuser stores sized for the limits. */
    explicit ReverbChannel (ChannelLR side, const DelayLimits& limits = {});

    /** Stores a value under a key and acts on it (keys 0 to 3 and 22 to 27 are only stored). */
    void SetParameter (Parameter key, double value);
    /** Recomputes every line's delay, feedback and modulation from the stored parameters. */
    void UpdateLines();
    /** Sets rate and largest block size; buffers whose size changes lose their content. Every value that
        depends on the rate is set again, and the modulation depths stand at their values for the new rate
        from the first sample. */
    void SetSamplerate (int rate, int bufferSize);
    /** Zeroes every buffer and filter state, which settles any requested diffuser clear; positions, phases and
        ramps stay. */
    void ClearBuffers() noexcept;
    /** Zeroes every buffer and filter state and puts every position, phase and depth back where a newly built
        channel prepared at the current rate starts, in place (call while no block is processed). */
    void Restart() noexcept;
    /** Runs n samples (0..bufferSize); outBuffer then holds the output. */
    void Process (const double* input, int n) noexcept;
    /** Lists what the next `samples` samples read and write: the pre-delay, the early taps, the diffuser when it is
        on, the lines that run, and the first blockSize samples of the block buffers. */
    void listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const;

    /** Stores a pre-delay in whole milliseconds and sets the pre-delay from it. */
    void SetPreDelay (double ms);
    /** Stores and sets the input high-pass cut-off in Hz. */
    void SetHighPass (double hz);
    /** Stores and sets the input low-pass cut-off in Hz. */
    void SetLowPass (double hz);

    /** The value last given to a key (0 for a key never set). */
    double GetParameter (Parameter key) const;
    /** The channel's output for the last block. */
    const double* GetOutput() const noexcept { return outBuffer.data(); }
    /** Number of lines that run in a block, as the next block will see it. */
    int GetLineCount() const noexcept { return lineCount.load(); }

    std::map<Parameter, double> parameters;
    int samplerate = 44100;
    ModulatedDelay preDelay;
    MultitapDiffuser multitap;
    AllpassDiffuser diffuser;
    std::array<std::unique_ptr<DelayLine>, numLines> lines;
    /** Input filter designs (setter thread). */
    AudioLib::Biquad highPass, lowPass;
    std::vector<double> tempBuffer, outBuffer;
    int delayLineSeed = 0;
    int postDiffusionSeed = 0;

    std::atomic<int> lineCount { 8 };
    std::atomic<bool> hiPassEnabled { false }, lowPassEnabled { false }, diffuserEnabled { false };
    std::atomic<double> dryOut { 0.0 }, predelayOut { 0.0 }, earlyOut { 0.0 }, mainOut { 0.0 };
    double crossSeed = 0.0;
    std::atomic<bool> singleLine { false };
    const ChannelLR channelLr;
    std::atomic<bool> modEnabled { true };
    /** Holds every line's feedback at 1 from the next UpdateLines. */
    std::atomic<bool> freeze { false };
    /** Holds every line's feedback at 0.5 from the next UpdateLines. */
    std::atomic<bool> kill { false };

private:
    struct FilterCoefficients
    {
        AudioLib::Biquad::Coefficients highPass, lowPass;
        std::array<DelayLine::FilterCoefficients, numLines> lines;
    };

    void applyLineKey (Parameter key, double value);
    void setPostDiffusionSeeds();
    void settleDepths() noexcept;
    void publishFilters() noexcept;
    void takeFilters() noexcept;
    void applyFilters (const FilterCoefficients& c) noexcept;

    AudioLib::Biquad highPassRunning, lowPassRunning;
    std::atomic<bool> clearDiffuserRequest { false };
    /** The lines' random series, drawn again only when its seeds change, so that a decay or modulation
        change on the audio thread does not allocate. */
    std::vector<double> lineSeries;
    int lineSeriesSeed = 0;
    double lineSeriesCrossSeed = 0.0;

    juce::SpinLock filterLock;
    FilterCoefficients publishedFilters;
    bool filtersDirty = false;
};

/** The left and right channels of a reverb engine with their input buffers, the normalized value of
    every key and the engine's freeze and kill switches. */
struct ReverbController
{
    /** Both channels, their stores sized for the limits. */
    explicit ReverbController (const DelayLimits& limits = {})
        : channelL (ChannelLR::Left, limits), channelR (ChannelLR::Right, limits)
    {
    }

    /** Sets the line modulation rate in Hz on the left channel, then the right, each recomputing its lines. */
    void setMainDelayModRateInHz (double hz);

    ReverbChannel channelL;
    ReverbChannel channelR;
    juce::AudioBuffer<double> channelInputL, channelInputR;
    /** Normalized values by key; the audio thread reads InputMix every block. */
    std::array<std::atomic<double>, Parameter::Count> parameters {};
    /** While set, the channels receive silence and the tail rings on. */
    std::atomic<bool> freeze { false };
    /** While set, the channels receive silence. */
    std::atomic<bool> kill { false };
};
} // namespace CloudSeed

#pragma once

#include <vector>

namespace qel
{
/** A gain stage of the character compressor: turns the detector's envelope (dB of reduction) into the
    reduction that is applied. */
class RiduziCompressorGainStage
{
public:
    virtual ~RiduziCompressorGainStage() = default;
    /** Sets the stage's state to a reduction in dB. */
    virtual void reset (double gainReductionDb) = 0;
    /** Steps the stage once and returns the smoothed reduction in dB. */
    virtual double processGainReduction (double envelopeDb, double targetDb) = 0;
};

/** The plain stage: the envelope passes unchanged. */
class RiduziCompressorGainStageFET : public virtual RiduziCompressorGainStage
{
public:
    void reset (double gainReductionDb) override;
    double processGainReduction (double envelopeDb, double targetDb) override;

    double state = 0.0;
};

/** The "CL1B" stage: a one-pole smoother whose attack and release coefficients come from tables indexed by
    the envelope in whole dB. Releases from 10 dB of reduction or more are slow (200 ms), smaller ones fast
    (20 ms); attacks take 10 ms. Each time reaches 73 % of a step. */
class RiduziCompressorGainStageCL1B : public virtual RiduziCompressorGainStage
{
public:
    /** Builds the tables for an integer sample rate. */
    explicit RiduziCompressorGainStageCL1B (int newSampleRate = 44100);

    /** Rebuilds the tables for a new rate in place and clears the state. */
    void setSampleRate (int newSampleRate);
    void reset (double gainReductionDb) override;
    double processGainReduction (double envelopeDb, double targetDb) override;

    double sampleRate = 44100.0;
    double state = 0.0;
    int maxDb = 50;
    int stepsPerDb = 1;
    int tableSize = 50;
    std::vector<double> attackTable, releaseTable;
};
} // namespace qel

#pragma once

#include "chain/ReverbProcessor.h"

#include <atomic>
#include <functional>
#include <new>
#include <thread>

namespace reverb_test
{
/** A stand-in engine that ignores its input and outputs a constant marker (0.1 to 0.9, set by its serial number), so a
    listener can tell which engine is sounding, and records every setting it receives. */
class MarkerEngine : public QEL::SkyReverbProcessorBase
{
public:
    static inline std::atomic<int> live { 0 };
    static inline std::atomic<int> built { 0 };
    /** Engines freed inside a block: a test marks its thread as the audio thread while it runs one. */
    static inline std::atomic<int> freedOnAudioThread { 0 };
    static inline std::atomic<std::thread::id> audioThread {};

    explicit MarkerEngine (int engineType) : type (engineType), serial (++built) { ++live; }
    ~MarkerEngine() override
    {
        --live;
        if (std::this_thread::get_id() == audioThread.load())
            ++freedOnAudioThread;
    }

    float marker() const noexcept { return (float) (serial % 9 + 1) / 10.0f; }

    void processImpl (const float* const*, float* const* out, int numSamples, int, int numOutputChannels) override
    {
        for (int channel = 0; channel < numOutputChannels; ++channel)
            for (int i = 0; i < numSamples; ++i)
                out[channel][i] = marker();
    }
    using QEL::SkyReverbProcessorBase::processImpl;

    void prepareToPlay (double rate, int blockSize) override
    {
        QEL::SkyReverbProcessorBase::prepareToPlay (rate, blockSize);
        ++prepareCount;
    }
    void reset() override
    {
        QEL::SkyReverbProcessorBase::reset();
        ++resetCount;
    }
    void setTempo (double bpm) override
    {
        QEL::SkyReverbProcessorBase::setTempo (bpm);
        lastTempo = bpm;
    }

    void setDecay (float v) override { decay = v; }
    void setPreDelay (float) override {}
    void setPreDelayNote (qel::TimeUtils::TempoSyncTimes) override {}
    void setMix (float v) override { mix = v; }
    void setUseAltMix (bool v) override { altMix = v; }
    void setTone (float) override {}
    void setMod (float v) override { modPercent = v; }
    void setModRateNote (qel::TimeUtils::TempoSyncTimes) override {}
    void setSaturation (float) override {}
    void setFollow (float) override {}
    void setDuck (float) override {}
    void setComp (float) override {}
    void setDisintegrate (float) override {}
    void setPitch (float) override {}
    void setFreeze (bool) override {}
    void setKill (bool) override {}
    void setSync (bool) override {}
    void setMassive (bool) override {}
    void setWidth (float) override {}
    void setWetHighPassFilterCutoff (float hz) override { highPass = hz; }
    void setWetLowPassFilterCutoff (float hz) override { lowPass = hz; }
    void setMonoLowEnd (bool v) override { monoLowEnd = v; }
    void setModEnabled (bool) override {}

    const int type;
    const int serial;
    float decay = -1.0f, mix = -1.0f, highPass = -1.0f, lowPass = -1.0f;
    bool altMix = false, monoLowEnd = true;
    double lastTempo = -1.0;
    int prepareCount = 0;
    int resetCount = 0;
};

/** The holder with marker engines; the type listed in failingType throws as if memory ran out. Its builder thread
    is stopped before the overrides go away. */
class MarkerHolder : public tessaro::dsp::ReverbProcessor
{
public:
    int failingType = -1;
    /** Runs while an engine is being built, after the request has read the holder's rate. */
    std::function<void()> duringBuild;

    MarkerHolder() = default;
    ~MarkerHolder() override { stopBuilding(); }

    MarkerEngine* running() const { return static_cast<MarkerEngine*> (getCurrentEngine()); }

protected:
    std::unique_ptr<Engine> buildEngine (int type) override
    {
        if (type == failingType)
            throw std::bad_alloc();
        if (duringBuild)
            duringBuild();
        return std::make_unique<MarkerEngine> (type);
    }
};
} // namespace reverb_test

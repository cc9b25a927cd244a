#pragma once

#include "plugin/HostedSettings.h"

#include <vector>

namespace tessaro::test
{
/** One control moved in a step while audio plays: a host parameter by index (the host's own bypass
    included) from one normalised value to another, over a context of settings that makes it audible. */
struct ControlStep
{
    std::vector<Setting> context; // applied before the audio starts
    int parameterIndex = -1;      // in the hosted instance's parameter order
    float from = 0.0f;            // normalised
    float to = 1.0f;              // normalised
    bool reverbEngine = false;    // a reverb engine runs or arrives from its background builder
    bool preparedSettled = false; // the plug-in is prepared again once the context and the start are set
};

/** What a step does to the sound, against the same step's two settings held still. */
struct ClickMeasure
{
    /** Energy above 8 kHz (4th-order high-pass) in the loudest 10 ms window after the change, in dB
        above the louder of the same window of the two held renders. */
    double clickDb = 0.0;
    /** Largest drop of a 3 ms window's full-band energy below the quieter held render's, in dB. */
    double dropoutDb = 0.0;
};

/** Renders a 440 Hz sine at -18 dBFS, 44.1 kHz, through new instances of the bundle in blocks of
    blockSize: held still at `from`, held still at `to`, and switched from one to the other between two blocks
    after 0.5 s. Where a reverb engine runs, each render has it in place before the audio starts, and the
    switched render runs slower than real time until the change is heard, so an engine the step chooses
    arrives early in the measured stretch. Both figures read the 0.35 s after the change, which covers the latency.
    Energies below -100 dBFS (a click of 1e-5) count as -100 dBFS, so rounding noise is not a click. */
ClickMeasure measureClick (const ControlStep& step, int blockSize);
} // namespace tessaro::test

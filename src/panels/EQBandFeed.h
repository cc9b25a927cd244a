#pragma once

#include "dsp/eq/FilterData.h"
#include "panels/QELEQComponent.h"

class OrvaneTessaroAudioProcessor;

namespace tessaro::gui
{
/** The three bands of the EQ module, in the order of the processor's EQ display cache. */
enum class EQBandSlot
{
    high,
    mid,
    low
};

/** Feeds an EQ curve view from the plug-in: the band's settings from the processor's EQ display cache and
    its response from the chain's own band (low, high) or the peak design the mid band plays, at the 96 kHz
    the view evaluates. Message thread. */
struct EQBandFeed
{
    using CoefficientsPtr = QELEQComponent::CoefficientsPtr;

    /** The band record of a band: frequency, linear gain (0 at -100 dB and below) and Q, type 1/2/3. */
    static QEL::FilterData record (EQBandSlot slot, float hz, float q, float gainDb);
    /** The peak design at 96 kHz, the gain factor bounded below by 1e-15 (JUCE 7 asserts on 0). */
    static CoefficientsPtr peak (float hz, float q, float gainFactor);
    /** A set whose response is exactly 1 everywhere. */
    static CoefficientsPtr flat();
    /** Reads the band from the processor and hands it to band 0 of the view, unless the view already
        shows exactly that band (its response is then not evaluated again). */
    static void refresh (QELEQComponent& view, OrvaneTessaroAudioProcessor& processor, EQBandSlot slot);
    /** True when the band holds these settings and this response already. */
    static bool showsAlready (const juce::QELEQBand& band, const QEL::FilterData& data, const CoefficientsPtr& a);
};
} // namespace tessaro::gui

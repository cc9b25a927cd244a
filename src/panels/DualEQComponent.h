#pragma once

#include "dsp/eq/eq.h"
#include "editor/CachedShadows.h"

#include <functional>
#include <juce_gui_basics/juce_gui_basics.h>

namespace tessaro::gui
{
/** A small two-band shelf EQ display: the combined response of a low and a high shelf (designed with the
    audio path's shelf formulas at a 100 kHz display rate) as a glowing filled curve, one draggable handle per
    band, double-click to reset a band, and the dragged band's frequency at the bottom.

    Handles map x to 50 Hz ... 20 kHz logarithmically and y to +15 ... -15 dB; the curve's own scale is 15 dB
    over the height. Message thread only. */
class DualEQComponent : public juce::Component
{
public:
    DualEQComponent();
    ~DualEQComponent() override;

    /** Moves the handles and designs both bands from the band settings; ends any drag. */
    void updateBands();

    void paint (juce::Graphics& g) override;
    /** Picks the nearer handle (the high one on a tie). */
    void mouseDown (const juce::MouseEvent& e) override;
    /** Moves the picked handle, reports and redesigns its band. */
    void mouseDrag (const juce::MouseEvent& e) override;
    /** Ends the drag. */
    void mouseUp (const juce::MouseEvent& e) override;
    /** Resets the nearer band to its handle's home (0.2 or 0.8 across, 0 dB). */
    void mouseDoubleClick (const juce::MouseEvent& e) override;

    /** Frequency at a horizontal fraction: 50 * 400^x Hz. */
    static float frequencyAt (float x) noexcept;
    /** Horizontal fraction of a frequency. */
    static float fractionOf (float hz) noexcept;
    /** The drag label: "165 Hz" below 1 kHz, "6.0 kHz" from there. */
    static juce::String frequencyText (float hz);
    /** The 128-point response in dB (recomputed by every paint). */
    void computeResponse();

    /** Called while a handle is dragged and when a band is reset: band 0 low, 1 high; Hz; dB. */
    std::function<void (int, float, float)> onBandChange;
    eq shelfFilters;
    int draggedBand = -1;
    float responseDb[128] {};
    juce::Point<float> handlePositions[2] { { 0.2f, 0.5f }, { 0.8f, 0.5f } };
    float lowFrequency = 100.0f, lowGain = 0.0f, lowQ = 0.707f;
    float highFrequency = 5000.0f, highGain = 0.0f, highQ = 0.707f;
    bool bypassed = false;
    bool lowHandleEnabled = true, highHandleEnabled = true;
    float displayFrequencies[2] { 100.0f, 5000.0f };
    melatonin::internal::CachedShadows handleGlow, curveGlow;

    static constexpr float displayRate = 100000.0f;

private:
    int pickBand (const juce::MouseEvent& e) const;
    void resetBand (int band);
};
} // namespace tessaro::gui

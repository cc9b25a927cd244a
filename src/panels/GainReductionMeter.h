#pragma once

#include "panels/MeterComponentBase.h"

namespace tessaro::gui
{
/** The Compress module's gain-reduction bar: an outline, and a bar growing from the right edge
    as the reduction grows (empty at the top of the range, full width at its bottom). */
class GainReductionMeter : public ap::gui::MeterComponentBase
{
public:
    /** Outline, then, while enabled, the bar. */
    void drawMeter (juce::Graphics& g) override;

    bool enabled = true; // the Compress module is processing; false shows the outline only
};
} // namespace tessaro::gui

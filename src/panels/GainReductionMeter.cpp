#include "panels/GainReductionMeter.h"

#include "editor/CustomColours.h"

namespace tessaro::gui
{
void GainReductionMeter::drawMeter (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    g.setColour (CustomColours::CONTROL_OUTLINE);
    g.drawRoundedRectangle (0.0f, 0.0f, w, h, 4.0f, 1.0f);

    const float barWidth = (1.0f - level) * w;
    if (! enabled || barWidth <= 0.0f)
        return;

    juce::Path bar;
    bar.addRoundedRectangle (w - barWidth, 0.0f, barWidth, h, 4.0f, 4.0f, true, true, true, true);
    g.setColour (CustomColours::THEME_COMP_FILL);
    g.fillPath (bar);
}
} // namespace tessaro::gui

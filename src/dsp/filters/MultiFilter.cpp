#include "dsp/filters/MultiFilter.h"

namespace juce
{
MultiFilter::MultiFilter()
{
    filters[onePole] = std::make_unique<DualFilter<OnePoleFilter>>();
    filters[twoPole] = std::make_unique<DualFilter<TwoPoleFilter>>();
    filters[fourPole] = std::make_unique<DualFilter<FourPoleFilter>>();
    filters[stateVariable] = std::make_unique<DualFilter<StateVariableFilter>>();
}

void MultiFilter::setFilterType (int kind) noexcept
{
    if (kind < 0 || kind >= numKinds || kind == current)
        return;

    previous = current;
    current = kind;
    fading = true;
    fade = 0.0f;
}

void MultiFilter::Process (float sampleTime, float& left, float& right, float cutoff, bool highPass) noexcept
{
    if (! fading)
    {
        filters[(size_t) current]->Process (sampleTime, left, right, cutoff, left, right, highPass);
        return;
    }

    fade += sampleTime * 100.0f;

    if (fade >= 1.0f)
    {
        // The old filter's weight is now 0: it is cleared and no longer run.
        fade = 1.0f;
        fading = false;
        filters[(size_t) previous]->Reset();
        filters[(size_t) current]->Process (sampleTime, left, right, cutoff, left, right, highPass);
        return;
    }

    float previousLeft = 0.0f, previousRight = 0.0f, currentLeft = 0.0f, currentRight = 0.0f;
    filters[(size_t) previous]->Process (sampleTime, left, right, cutoff, previousLeft, previousRight, highPass);
    filters[(size_t) current]->Process (sampleTime, left, right, cutoff, currentLeft, currentRight, highPass);

    const double previousWeight = 1.0 - (double) fade;
    left = (float) ((double) previousLeft * previousWeight + (double) (currentLeft * fade));
    right = (float) ((double) previousRight * previousWeight + (double) (currentRight * fade));
}
} // namespace juce

#include "panels/QELEQComponent.h"

#include <cmath>

namespace juce
{
QELEQBand::QELEQBand (const std::vector<double>& grid)
    : frequencies (grid), firstMagnitudes (grid.size(), 1.0), magnitudes (grid.size(), 1.0),
      secondMagnitudes (grid.size(), 1.0), outputMagnitudes (grid.size(), 1.0)
{
}

void QELEQBand::updateMagnitudes()
{
    ++magnitudesRevision;
    const auto n = frequencies.size();
    if (coefficientsA != nullptr)
    {
        coefficientsA->getMagnitudeForFrequencyArray (frequencies.data(), firstMagnitudes.data(), n, evaluationRate);
        FloatVectorOperations::multiply (firstMagnitudes.data(), (double) magnitudeScale, (int) n);
        magnitudes = firstMagnitudes;
        outputMagnitudes = firstMagnitudes;
    }
    if (coefficientsB != nullptr)
        coefficientsB->getMagnitudeForFrequencyArray (frequencies.data(), secondMagnitudes.data(), n, evaluationRate);
}
} // namespace juce

namespace
{
std::vector<double> makeGrid (float minHz, float maxHz)
{
    // 30 points per octave from minHz, the last just above maxHz.
    const int n = (int) (std::log2 (maxHz / minHz) * 30.0f) + 2;
    std::vector<double> grid ((size_t) n);
    for (int i = 0; i < n; ++i)
        grid[(size_t) i] = minHz * std::pow (2.0, i / 30.0);
    return grid;
}
} // namespace

QELEQComponent::QELEQComponent (juce::NormalisableRange<float> range, int numBands, float minHz, float maxHz,
                                float gainRangeDb)
    : minFrequency (minHz), maxFrequency (maxHz), gainRange (gainRangeDb), qHandleLeft (range), qHandleRight (range),
      qRange (range)
{
    frequencies = makeGrid (minHz, maxHz);
    mainMagnitudes.assign (frequencies.size(), 0.0);

    for (int i = 0; i < numBands; ++i)
        bands.add (new juce::QELEQBand (frequencies))->id = i;

    const int coordinates = 3 * (int) frequencies.size() + 8;
    mainPath.preallocateSpace (coordinates);
    mainAreaPath.preallocateSpace (coordinates);

    recomputeCurves();
    initializeQComponents();
    startTimer (33);
}

QELEQComponent::~QELEQComponent()
{
    stopTimer();
}

void QELEQComponent::initializeQComponents()
{
    qHandleLeft.side = 0;
    qHandleLeft.slider.inverted = false;
    qHandleLeft.onChange = [this] { reactToQHandle (qHandleLeft); };
    addAndMakeVisible (qHandleLeft);

    qHandleRight.side = 1;
    qHandleRight.slider.inverted = true;
    qHandleRight.onChange = [this] { reactToQHandle (qHandleRight); };
    addAndMakeVisible (qHandleRight);
}

void QELEQComponent::reactToQHandle (QEL::QComponent& handle)
{
    if (! onQChange)
        return;
    const float q = (float) handle.slider.getValue();
    if (selectedBand != -1)
    {
        bands[selectedBand]->q = q;
        onQChange (selectedBand, q, false);
    }
}

//==============================================================================
float QELEQComponent::ratioOf (float hz) const noexcept
{
    return std::log (hz / minFrequency) / std::log (maxFrequency / minFrequency);
}

float QELEQComponent::xForFrequency (float hz) const noexcept
{
    return ratioOf (hz) * ((float) plotArea.getWidth() - xInset) - 2.0f * xInset;
}

float QELEQComponent::frequencyAtX (float x) const noexcept
{
    const float exponent = (x + 2.0f * xInset) / ((float) plotArea.getWidth() - xInset);
    return minFrequency * std::pow (maxFrequency / minFrequency, exponent);
}

float QELEQComponent::decibels (double linear) noexcept
{
    return linear <= 0.0 ? -100.0f : std::max (-100.0f, (float) (20.0 * std::log10 (linear)));
}

float QELEQComponent::yForDecibels (float db) const noexcept
{
    const float top = (float) plotArea.getY(), bottom = (float) plotArea.getBottom();
    return bottom + (db + gainRange) * (top - bottom) / (2.0f * gainRange);
}

float QELEQComponent::gainAtY (float y) const noexcept
{
    const float top = (float) plotArea.getY(), bottom = (float) plotArea.getBottom();
    if (top == bottom)
        return 1.0f;
    const float db = (juce::jlimit (top, bottom, y) - bottom) * 2.0f * gainRange / (top - bottom) - gainRange;
    return db > -100.0f ? std::pow (10.0f, db / 20.0f) : 0.0f;
}

float QELEQComponent::yForQ (float q) const noexcept
{
    const float top = (float) plotArea.getY(), centre = top + 0.5f * (float) plotArea.getHeight();
    return centre + (q - qRange.start) * (top - centre) / (qRange.end - qRange.start);
}

float QELEQComponent::qAtY (float y) const noexcept
{
    const float top = (float) plotArea.getY(), centre = top + 0.5f * (float) plotArea.getHeight();
    if (top == centre)
        return qRange.start;
    return qRange.start + (juce::jlimit (top, centre, y) - centre) * (qRange.end - qRange.start) / (top - centre);
}

juce::Point<float> QELEQComponent::handlePoint (const juce::QELEQBand& band) const noexcept
{
    return { xForFrequency (band.frequency), qOnYAxis ? yForQ (band.q) : yForDecibels (decibels (band.gain)) };
}

bool QELEQComponent::matches (const juce::ModifierKeys& modifiers, int set) noexcept
{
    return set != 0 && modifiers.withoutMouseButtons().getRawFlags() == set;
}

int QELEQComponent::findHoveredBand (juce::Point<float> p) const noexcept
{
    int nearest = -1;
    float nearestDistance = 0.0f;
    for (int i = 0; i < bands.size(); ++i)
    {
        if (! bands[i]->used)
            continue;
        const auto h = handlePoint (*bands[i]);
        if (std::abs (h.x - p.x) >= (float) hoverRadius || std::abs (h.y - p.y) >= (float) hoverRadius)
            continue;
        const float d = h.getDistanceFrom (p);
        if (nearest == -1 || d < nearestDistance)
        {
            nearest = i;
            nearestDistance = d;
        }
    }
    return nearest;
}

//==============================================================================
void QELEQComponent::updateBandA (int index, QEL::FilterData data, juce::Colour colour, CoefficientsPtr a,
                                  CoefficientsPtr b)
{
    auto& band = *bands[index];
    band.colour = colour;
    band.isPassType = data.type == 0 || data.type == 4;
    band.frequency = band.dragFrequency = data.frequency;
    band.q = data.q;
    band.gain = data.gain;
    band.enabled = data.enabled;
    band.used = data.switchedOn;
    band.dynamic = data.dynamic;
    band.type = data.type;
    band.auxMode = data.splitMode;
    band.marker = data.channelMode;
    band.coefficientsA = std::move (a);
    band.coefficientsB = std::move (b);
    band.updateMagnitudes();
    band.slope = data.slope;
}

void QELEQComponent::updateMainMagnitudes()
{
    std::fill (mainMagnitudes.begin(), mainMagnitudes.end(), 1.0);
    const int n = (int) mainMagnitudes.size();

    for (auto* band : bands)
    {
        if (! (band->used && band->enabled))
            continue;
        const double o = band->outputGainDb > -100.0f ? std::pow (10.0, band->outputGainDb / 20.0) : 0.0;
        juce::FloatVectorOperations::multiply (band->outputMagnitudes.data(), band->magnitudes.data(), o, n);
        const auto& shown = mainIncludesOutputGain ? band->outputMagnitudes : band->magnitudes;
        juce::FloatVectorOperations::multiply (mainMagnitudes.data(), shown.data(), n);
    }
    juce::FloatVectorOperations::multiply (mainMagnitudes.data(), (double) mainGainScale, n);
}

void QELEQComponent::createFrequencyPlot (juce::Path& path, const std::vector<double>& mags, juce::Rectangle<int>,
                                          float)
{
    for (size_t i = 0; i < mags.size(); ++i)
    {
        const juce::Point<float> p { xForFrequency ((float) frequencies[i]), yForDecibels (decibels (mags[i])) };
        if (i == 0)
            path.startNewSubPath (p);
        else
            path.lineTo (p);
    }
}

void QELEQComponent::createFrequencyPlotClosed (juce::Path& path, const std::vector<double>& mags,
                                                juce::Rectangle<int> area, float, bool closeAtBottom)
{
    const float base = (float) (area.getY() + (closeAtBottom ? area.getHeight() : area.getHeight() / 2));
    path.startNewSubPath ((float) area.getX(), base);
    for (size_t i = 0; i < mags.size(); ++i)
        path.lineTo (xForFrequency ((float) frequencies[i]), yForDecibels (decibels (mags[i])));
    path.lineTo ((float) (closeAtBottom ? area.getRight() : area.getRight() + 100), base);
    path.closeSubPath();
}

void QELEQComponent::updateFrequencyResponsePaths()
{
    for (auto* band : bands)
    {
        const auto& drawn = band->dynamic ? band->secondMagnitudes : band->magnitudes;
        band->curvePath.clear();
        createFrequencyPlot (band->curvePath, drawn);
        band->staticCurvePath.clear();
        createFrequencyPlot (band->staticCurvePath, band->outputMagnitudes);
        band->areaPath.clear();
        createFrequencyPlotClosed (band->areaPath, drawn, interactionArea.translated (1, 0), 0.0f, band->isPassType);
    }

    mainPath.clear();
    createFrequencyPlot (mainPath, mainMagnitudes);
    mainAreaPath.clear();
    createFrequencyPlotClosed (mainAreaPath, mainMagnitudes, interactionArea, 0.0f, false);
}

void QELEQComponent::resized()
{
    const int w = getWidth(), h = getHeight();
    const int c = (int) (0.0024f * (float) w);
    interactionArea = { c, c, std::max (w - 2 * c, 0), std::max (h - 2 * c, 0) };
    const int b = (int) (0.0155f * (float) w);
    plotArea = { c, c + b, std::max (w - 2 * c, 0), std::max (interactionArea.getHeight() - 2 * b, 0) };
    updateFrequencyResponsePaths();
}

//==============================================================================
void QELEQComponent::timerCallback()
{
    if (isOnVisibleWindow())
        tick();
}

bool QELEQComponent::isOnVisibleWindow() const
{
    // Unlike isShowing(), asks the window system nothing: on X11 its minimised check is a round
    // trip to the server, too dear for every tick of every view.
    for (auto* c = static_cast<const juce::Component*> (this); c != nullptr; c = c->getParentComponent())
        if (! c->isVisible())
            return false;
    return getPeer() != nullptr;
}

void QELEQComponent::tick()
{
    if (hoverFade < 0.3f)
        hoverFade += 0.01f;

    if (! mouseIsDown)
    {
        const int previous = hoveredBand;
        // Asking where the pointer is costs a round trip to the window system; away from the
        // view the answer is known.
        const auto pointer = isMouseOver (true) ? getMouseXYRelative() : juce::Point<int> (-1, -1);
        hoveredBand = interactionArea.contains (pointer) ? findHoveredBand (pointer.toFloat()) : -1;
        if (hoveredBand != previous)
            hoverFade = 0.0f;
    }

    if (selectedBand != -1 && ! bands[selectedBand]->used)
        selectedBand = -1;
    placeQHandles();
    updateOverlay();
    if (curvesAreStale())
        recomputeCurves();
}

std::vector<double> QELEQComponent::curveInputs() const
{
    std::vector<double> inputs {
        (double) mainGainScale,          (double) mainIncludesOutputGain,     (double) interactionArea.getX(),
        (double) interactionArea.getY(), (double) interactionArea.getWidth(), (double) interactionArea.getHeight(),
        (double) plotArea.getY(),        (double) plotArea.getHeight()
    };
    for (const auto* band : bands)
        inputs.insert (inputs.end(), { (double) band->used, (double) band->enabled, (double) band->dynamic,
                                       (double) band->isPassType, (double) band->outputGainDb,
                                       (double) (band->coefficientsB != nullptr), (double) band->magnitudesRevision });
    return inputs;
}

bool QELEQComponent::curvesAreStale() const
{
    return curveInputs() != lastCurveInputs;
}

void QELEQComponent::recomputeCurves()
{
    lastCurveInputs = curveInputs();
    const int n = (int) frequencies.size();
    for (auto* band : bands)
        if (band->used && band->enabled && band->coefficientsB != nullptr && ! band->dynamic)
            juce::FloatVectorOperations::multiply (band->magnitudes.data(), band->firstMagnitudes.data(),
                                                   band->secondMagnitudes.data(), n);
    updateMainMagnitudes();
    updateFrequencyResponsePaths();
}

void QELEQComponent::placeQHandles()
{
    bool visible = false;
    if (selectedBand != -1 && showQHandles)
    {
        auto& band = *bands[selectedBand];
        const float w = (float) getWidth();
        const int hw = (int) (0.05f * w), hh = (int) (0.01f * w);
        const int y = (int) (yForDecibels (decibels (band.gain)) - 0.003f * w);
        const float x = xForFrequency (band.frequency);
        qHandleLeft.setBounds ((int) (x - 0.05f * w - 0.0075f * w), y, hw, hh);
        qHandleRight.setBounds ((int) (x + 0.0085f * w), y, hw, hh);

        for (auto* handle : { &qHandleLeft, &qHandleRight })
        {
            handle->slider.setValue (band.q, juce::sendNotificationAsync);
            handle->enabled = band.enabled;
            handle->repaint();
            handle->colour = band.colour;
        }
        visible = mouseOver && band.used && ! band.isPassType;
    }
    qHandleLeft.setVisible (visible);
    qHandleRight.setVisible (visible);
}

void QELEQComponent::updateOverlay()
{
    if (overlay == nullptr)
        return;

    const int index = listening ? overlay->bandIndex : reportedBand();
    if (! overlayEnabled || index == -1)
    {
        overlay->setVisible (false);
        return;
    }

    auto& band = *bands[index];
    overlay->bandIndex = index;
    overlay->setBandEnabled (band.enabled);
    overlay->setDynamic (band.dynamic);
    overlay->setQ (band.q);
    overlay->setType (band.type);
    overlay->setMarker (band.marker);
    overlay->setFrequency (band.frequency);
    overlay->setGain (band.gain);
    overlay->setSlope (band.slope);
    overlay->setAuxMode (band.auxMode);

    const int w = overlay->getWidth(), h = overlay->getHeight();
    const int x = juce::jlimit (0, std::max (0, getWidth() - w),
                                (int) std::floor (xForFrequency (band.frequency) - 0.5f * (float) w));
    const int y = (int) std::floor (yForDecibels (decibels (band.gain)) - 0.5f * (float) h);
    overlay->setTopLeftPosition (x, y);

    if (onBandSelect)
        onBandSelect (reportedBand());
    overlay->setVisible (true);
}

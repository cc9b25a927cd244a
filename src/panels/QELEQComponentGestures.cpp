#include "panels/QELEQComponent.h"

#include <cmath>

namespace
{
constexpr float grabRadius = 10.0f;
constexpr float minEditFrequency = 20.0f, maxEditFrequency = 20000.0f;

bool isPass (int type) noexcept
{
    return type == 0 || type == 4;
}
} // namespace

void QELEQComponent::mouseMove (const juce::MouseEvent& e)
{
    if (onMouseX)
        onMouseX (e.position.x);

    if (! curveHoverEnabled)
        return;

    const float reach = 0.0054f * (float) getWidth();
    const juce::Line<float> probe (e.position.x, e.position.y - reach, e.position.x, e.position.y + reach);
    curveHovered = false;
    for (juce::PathFlatteningIterator it (mainPath, {}, 1.0f); it.next();)
    {
        if (juce::Line<float> (it.x1, it.y1, it.x2, it.y2).intersects (probe))
        {
            curveHovered = true;
            break;
        }
    }
    hoverPoint = curveHovered ? e.position : juce::Point<float>();
}

void QELEQComponent::mouseEnter (const juce::MouseEvent&)
{
    mouseOver = true;
}

void QELEQComponent::mouseExit (const juce::MouseEvent& e)
{
    mouseOver = interactionArea.contains (e.position.toInt());
    if (! mouseOver && overlayEnabled && overlay != nullptr)
        overlay->setVisible (false);
    if (onMouseX)
        onMouseX (-1.0f);
}

void QELEQComponent::mouseDown (const juce::MouseEvent& e)
{
    mouseIsDown = true;
    selectedBand = -1;

    if (interactionArea.contains (e.position.toInt()))
    {
        for (int i = 0; i < bands.size(); ++i)
        {
            if (! bands[i]->used)
                continue;
            const auto h = handlePoint (*bands[i]);
            if (std::abs (h.x - e.position.x) < grabRadius && std::abs (h.y - e.position.y) < grabRadius)
            {
                selectedBand = i;
                if (! selectedBands.contains (i))
                    selectedBands.clear();
            }
        }
    }
    if (selectedBand == -1)
        selectedBands.clear();

    updateOverlay();
    dragLast = e.position;

    if (selectedBand != -1)
    {
        if (matches (e.mods, toggleModifiers) && onBandEnabledChange)
            onBandEnabledChange (selectedBand, ! bands[selectedBand]->enabled);
        if (matches (e.mods, actionModifiers) && onModifierClick)
            onModifierClick (selectedBand);
    }

    if (lassoEnabled && selectedBand == -1 && ! curveHovered)
    {
        lassoActive = true;
        lassoStart = lassoEnd = getMouseXYRelative().toFloat();
    }

    if (onBandSelect)
        onBandSelect (reportedBand());
}

void QELEQComponent::mouseDrag (const juce::MouseEvent& e)
{
    hoverPoint = {};
    if (onMouseX)
        onMouseX (e.position.x);

    if (e.mouseWasDraggedSinceMouseDown())
    {
        if (selectedBand == -1)
        {
            checkSelectedBands();
            if (curveHoverEnabled && curveHovered && ! bandAddedInDrag)
            {
                const int id = addBandAtPosition (e.position, altAddsDynamicBand && e.mods.isAltDown());
                if (id != -1)
                {
                    selectedBand = hoveredBand = id;
                    bandAddedInDrag = true;
                    updateOverlay();
                    if (onBandSelect)
                        onBandSelect (reportedBand());
                }
            }
        }
        else
        {
            auto& grabbed = *bands[selectedBand];
            const float k = 1.0f / grabbed.q;
            const float s = std::sqrt (0.25f * k * k + 1.0f) + 0.5f * k;
            bandwidthLow = std::max (grabbed.frequency / s, minEditFrequency);
            bandwidthHigh = std::min (grabbed.frequency * s, maxEditFrequency);

            const bool qDrag = qDragEnabled && matches (e.mods, qDragModifiers);
            const bool lockFrequency = matches (e.mods, lockFrequencyModifiers);
            const bool lockGain = matches (e.mods, lockGainModifiers);

            if (! lockFrequency && ! qDrag && onFrequencyChange)
                onFrequencyChange (selectedBand,
                                   juce::jlimit (minEditFrequency, maxEditFrequency, frequencyAtX (e.position.x)));

            if (! lockGain)
            {
                if (qOnYAxis)
                {
                    if (onQChange)
                        onQChange (selectedBand, qAtY (e.position.y), false);
                }
                else if (qDrag)
                {
                    const float dy = e.position.y - dragLast.y;
                    if (onQChange)
                        onQChange (selectedBand, dy < 0.0f ? 0.02f : (dy > 0.0f ? -0.02f : 0.0f), true);
                }
                else if (! isPass (grabbed.type) && ! listening && onGainChange)
                    onGainChange (selectedBand, gainAtY (e.position.y));
            }

            for (int index : selectedBands)
            {
                if (index == selectedBand || index < 0 || index >= bands.size())
                    continue;
                auto& b = *bands[index];
                if (! lockFrequency)
                {
                    const float moved = juce::jlimit (minEditFrequency, maxEditFrequency,
                                                      frequencyAtX (xForFrequency (b.dragFrequency) + e.position.x - dragLast.x));
                    b.dragFrequency = moved;
                    if (onFrequencyChange)
                        onFrequencyChange (index, moved);
                }
                if (! lockGain && ! isPass (b.type) && ! listening)
                {
                    b.gain = gainAtY (yForDecibels (decibels (b.gain)) + e.position.y - dragLast.y);
                    if (onGainChange)
                        onGainChange (index, b.gain);
                }
            }
            dragLast = e.position;
        }
    }

    checkBandListen (e.mods, e.position.y);
    if (lassoActive)
        lassoEnd = getMouseXYRelative().toFloat();
}

void QELEQComponent::mouseUp (const juce::MouseEvent&)
{
    mouseIsDown = false;
    bandAddedInDrag = false;
    if (onListenEnd)
        onListenEnd();
    if (lassoActive)
    {
        lassoActive = false;
        lassoStart = lassoEnd = {};
    }
}

void QELEQComponent::mouseDoubleClick (const juce::MouseEvent& e)
{
    if (selectedBand != -1)
    {
        if (doubleClickTogglesBand && onBandEnabledChange)
            onBandEnabledChange (selectedBand, ! bands[selectedBand]->enabled);
        if (onBandDoubleClick)
            onBandDoubleClick (selectedBand);
    }
    else if (curveHoverEnabled)
    {
        addBandAtPosition (e.position, false);
    }
}

void QELEQComponent::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (e.eventComponent != this || wheel.deltaY == 0.0f)
        return;

    float step = 0.1f * wheel.deltaY;
    if (step < 0.0f && step > -0.005f)
        step = -0.005f;
    else if (step >= 0.0f && step < 0.005f)
        step = 0.005f;

    const auto signedStep = [step] (const juce::QELEQBand& b) { return b.gain > 1.0f ? -step : step; };

    if (hoveredBand != -1)
    {
        auto& h = *bands[hoveredBand];
        if (isPass (h.type) && wheelChangesSlope)
        {
            wheelAccumulator += wheel.deltaY;
            int newSlope = -1;
            if (wheelAccumulator < -0.1f)
                newSlope = std::max (h.slope - 1, 0);
            else if (wheelAccumulator > 0.1f)
                newSlope = std::min (h.slope + 1, 2);
            if (newSlope != -1)
            {
                if (onSlopeChange)
                    onSlopeChange (hoveredBand, newSlope);
                wheelAccumulator = 0.0f;
            }
        }
        else if (onQChange)
            onQChange (hoveredBand, signedStep (h), true);
    }

    for (int index : selectedBands)
        if (index != hoveredBand && index >= 0 && index < bands.size() && onQChange)
            onQChange (index, signedStep (*bands[index]), true);
}

void QELEQComponent::modifierKeysChanged (const juce::ModifierKeys& modifiers)
{
    if (auto* parent = getParentComponent())
        parent->modifierKeysChanged (modifiers);
    checkBandListen (modifiers, getMouseXYRelative().toFloat().y);
}

void QELEQComponent::checkBandListen (const juce::ModifierKeys& modifiers, float y)
{
    if (matches (modifiers, listenModifiers))
    {
        if (selectedBand != -1 && onListen)
        {
            listening = true;
            onListen (selectedBand, gainAtY (y));
        }
    }
    else if (onListenEnd)
    {
        listening = false;
        onListenEnd();
    }
}

int QELEQComponent::addBandAtPosition (juce::Point<float> position, bool dynamic)
{
    int index = -1;
    for (int i = 0; i < bands.size() && index == -1; ++i)
        if (! bands[i]->used && (reservedIdSource == nullptr || ! reservedIdSource->contains (bands[i]->id)))
            index = i;
    if (index == -1)
        return -1;

    auto& band = *bands[index];
    band.used = true;
    band.enabled = true;
    band.frequency = band.dragFrequency = frequencyAtX (position.x);

    const float f = band.frequency;
    band.type = addPeaksOnly ? 2 : f <= 20.0f ? 0 : f <= 50.0f ? 1 : f <= 10000.0f ? 2 : f <= 20000.0f ? 3 : 4;
    band.isPassType = isPass (band.type);
    band.marker = 0;
    band.auxMode = 0;
    band.gain = band.isPassType ? 1.0f : gainAtY (position.y);
    band.dynamic = dynamic;
    band.slope = 0;

    const int id = band.id;
    if (onFrequencyChange) onFrequencyChange (id, band.frequency);
    if (onGainChange) onGainChange (id, band.gain);
    if (onTypeChange) onTypeChange (id, band.type);
    if (onMarkerChange) onMarkerChange (id, 0);
    if (onAuxModeChange) onAuxModeChange (id, 0);
    if (onQChange) onQChange (id, band.type == 2 ? newPeakQ : 0.707f, false);
    if (onDynamicChange) onDynamicChange (id, dynamic);
    if (onBandEnabledChange) onBandEnabledChange (id, true);
    if (onBandUsedChange) onBandUsedChange (id, true);
    if (onSlopeChange) onSlopeChange (id, 0);
    return id;
}

void QELEQComponent::checkSelectedBands()
{
    if (! lassoEnabled)
        return;

    selectedBands.clear();
    const juce::Rectangle<float> lasso (std::min (lassoStart.x, lassoEnd.x), std::min (lassoStart.y, lassoEnd.y),
                                        std::abs (lassoStart.x - lassoEnd.x), std::abs (lassoStart.y - lassoEnd.y));
    for (int i = 0; i < bands.size(); ++i)
        if (bands[i]->used && lasso.contains (handlePoint (*bands[i])))
            selectedBands.add (i);
}

#pragma once

#include "InvisibleSlider.h"
#include "QELComponentBase.h"
#include "QELLookAndFeel.h"

#include <functional>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

namespace juce
{
/** A tempo field: a number with an invisible drag surface over it (drag, double-click to type) and an
    optional picture to its left. Every change goes to the listener and the callback. */
class QELTempoBoxComponent : public QELComponentBase, public SettableTooltipClient
{
public:
    /** Told about every tempo change. */
    class TempoListener
    {
    public:
        virtual ~TempoListener() = default;
        virtual void onTempoChange (float bpm) = 0;
    };

    QELTempoBoxComponent();
    ~QELTempoBoxComponent() override;

    /** A double-click on the box itself (not on a child) opens the slider's typed entry. */
    void mouseDoubleClick (const MouseEvent&) override;
    void resized() override;

    std::function<void (float)> tempoCallback;
    std::unique_ptr<QELLookAndFeel> sliderLookAndFeel;
    InvisibleSlider slider;
    Label label;
    ImageComponent image;
    TempoListener* listener = nullptr;

private:
    void tempoChanged();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QELTempoBoxComponent)
};
} // namespace juce

#pragma once

#include "core/MessageThreadHandOff.h"
#include "editor/ParameterAttachments.h"
#include "editor/QELComponentBase.h"
#include "editor/QELComponentInitializer.h"
#include "editor/QELImageButton.h"
#include "editor/QELSlider.h"
#include "lookandfeel/LookAndFeel.h"
#include "panels/AnimatedStripComponent.h"
#include "panels/ScaledImageComponent.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

class OrvaneTessaroAudioProcessor;

namespace tessaro::gui
{
/** What tells one module panel's frame from another's. */
struct ModuleFrame
{
    const char* title;
    juce::Colour fill, glow;
    const juce::String& powerParameter;
    const char* offImage;
    int offImageSize;
    const char* animationStrip;
    int animationStripSize;
};

/** The frame every module panel is made of: title, power button bound to the module's Power
    parameter, off picture and film strip, the background gradient and separator, the bypass
    look (plug-in bypassed or module off), and caption hiding while a knob is hovered.

    A panel builds its own controls in its constructor with the protected helpers and ends it
    with finishFrame(). Parameter callbacks may come from any thread; what they change is done
    on the message thread, directly when they arrive there, else posted. */
class ModulePanel : public juce::QELComponentBase, public juce::AudioProcessorValueTreeState::Listener
{
public:
    ~ModulePanel() override;

    /** Stores the plug-in or module flag and updates the look, or hands an own parameter to
        ownParameterChanged; on the message thread, handed over there (without allocating) when called
        elsewhere. */
    void parameterChanged (const juce::String& parameterID, float newValue) final;

    /** Brings title, pictures, look-and-feels, captions and the panel's own parts in line with
        the two flags, and repaints. */
    void updateBypassState();

    /** Both the plug-in (Bypass off) and the module (Power on) are active. */
    bool isActive() const noexcept { return pluginActive && moduleActive; }

    /** The background gradient while active. */
    void paint (juce::Graphics& g) override;
    /** The separator under the pictures. */
    void paintOverChildren (juce::Graphics& g) override;
    /** The frame's rectangles; panels lay out their controls after calling this. */
    void resized() override;
    /** Hides the caption of a hovered knob. */
    void mouseEnter (const juce::MouseEvent& e) override;
    /** Shows the caption of a knob the mouse left. */
    void mouseExit (const juce::MouseEvent& e) override;

    /** The frame's values. */
    const ModuleFrame frame;
    juce::AudioProcessorValueTreeState& parameters;
    QELComponentInitializer* initializer;
    OrvaneTessaroAudioProcessor& processor;
    /** Montserrat Regular, for the title and the captions. */
    juce::Font panelFont;
    /** paramBypass is off. */
    bool pluginActive = true;
    /** The module's Power parameter is on. */
    bool moduleActive = true;
    juce::QELLabel titleLabel;
    juce::DrawableButton powerButton { "Bypass", juce::DrawableButton::ImageRaw };
    ScaledImageComponent offImage;
    std::unique_ptr<AnimatedStripComponent> animationStrip;

protected:
    /** Listens to paramBypass and the Power parameter, and builds the pictures, the power
        button and the title. */
    ModulePanel (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                 OrvaneTessaroAudioProcessor& processor, const ModuleFrame& frame);

    /** Listens to one of the panel's own parameters (handed to ownParameterChanged). */
    void listenTo (const juce::String& parameterID);

    /** The knob set-up of a look-and-feel in the module's colours; dimmed with the panel. */
    void initKnobStyle (LookAndFeel& lookAndFeel);
    /** The text-button set-up of a look-and-feel with the module's glow; dimmed with the panel. */
    void initButtonStyle (LookAndFeel& lookAndFeel, float fontHeight);
    /** A caption at 17.08, dimmed with the panel and hidden while `knob` is hovered. */
    void initCaption (juce::QELLabel& caption, const juce::String& text, juce::Component* knob);

    /** Binds the power button, asks for keyboard focus, reads both flags and applies them;
        the last step of every panel's constructor, after its own attachments. */
    void finishFrame();

    /** Stops all parameter callbacks; the first step of every panel's destructor. */
    void stopListening();

    /** A change of one of the panel's own parameters, on the message thread. */
    virtual void ownParameterChanged (const juce::String& parameterID, float newValue);
    /** The panel's own parts of updateBypassState. */
    virtual void updateOwnBypassState (bool active);

private:
    /** A change that arrived off the message thread: which listened parameter, and its value. */
    struct Change
    {
        int parameter;
        float value;
    };

    void applyParameterChange (const juce::String& parameterID, float newValue);
    void applyCurrentValues();

    std::vector<LookAndFeel*> controlLooks, knobLooks;
    std::vector<std::pair<juce::Component*, juce::Label*>> captions;

    /** The parameters listened to: a fixed list that another thread's callback may search while the message
        thread appends, so an entry is complete before the count that publishes it. */
    static constexpr int maxListened = 16;
    std::array<juce::String, maxListened> listenedParameters;
    std::atomic<int> numListened { 0 };
    int indexOfListened (const juce::String& parameterID) const noexcept;
    std::unique_ptr<QEL::ButtonAttachment> powerAttachment;
    QEL::MessageThreadHandOff<Change> changes {
        [this] (const Change& c) { applyParameterChange (listenedParameters[(size_t) c.parameter], c.value); },
        [this] { applyCurrentValues(); }
    };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModulePanel)
};
} // namespace tessaro::gui

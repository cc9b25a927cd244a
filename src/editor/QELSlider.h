#pragma once

#include "HintClient.h"
#include "editor/ParameterAttachments.h"
#include "presets/QELMidiMapping.h"

#include <functional>
#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

namespace juce
{
/** The parameter slider: a Slider with fine drag on Shift, reset gestures, its own value popup, a typed
    value entry, two special value texts, a custom hit area and a context menu.

    Thumbs: 1 is the minimum and 2 the maximum thumb of a two-value slider; -1 the single value. */
class QELSlider : public Slider,
                  public TextEditor::Listener,
                  public FocusChangeListener,
                  public QELParametrizable,
                  public QEL::SettableHintClient
{
public:
    /** The slider's value bubble: the value text, hidden by a timer or by the slider. */
    class PopupDisplayComponent : public BubbleComponent, public Timer
    {
    public:
        explicit PopupDisplayComponent (QELSlider& owner);
        ~PopupDisplayComponent() override;

        /** Width: the text's width + 18; height: popupHeightFactor * font height * 1.6, truncated. */
        void getContentSize (int& width, int& height) override;
        void paintContent (Graphics& g, int width, int height) override;
        /** Stores the text and points the bubble at the slider (or at its thumb). */
        void updatePosition (const String& newText);
        void timerCallback() override;

        const String& getText() const noexcept { return text; }
        const Font& getFont() const noexcept { return font; }

    private:
        QELSlider& owner;
        Font font;
        String text;

        JUCE_DECLARE_NON_COPYABLE (PopupDisplayComponent)
    };

    /** The parameter attachment that also hands the parameter to the slider and turns the framework's
        double-click-to-default off (the default stays the slider's double-click return value). */
    class SliderAttachment : public QEL::SliderAttachment
    {
    public:
        SliderAttachment (AudioProcessorValueTreeState& state, const String& parameterID, QELSlider& slider);
        virtual ~SliderAttachment() = default;
    };

    QELSlider (SliderStyle style = RotaryVerticalDrag, TextEntryBoxPosition textBox = NoTextBox, int unused = 0);
    ~QELSlider() override;

    /** Adds the slider to parent, sets style and look-and-feel, turns the text box off and moves the
        typed entry into parent. */
    void initialize (Component* parent, LookAndFeel* lookAndFeel, SliderStyle style);

    /** Offers "MIDI learn..." in the context menu and calls callback with the learnt mapping. */
    void setOnParamMidiLearn (bool enabled, std::function<void (QELMidiMapping)> callback);

    AudioProcessorParameter* getParameter() override { return parameter; }
    void setParameter (AudioProcessorParameter* newParameter) override;

    /** Position of value along the slider, in pixels (see getSliderLayout). */
    float getLinearSliderPos (double value);

    /** Shows the value popup unless the entry is open, a popup exists or the slider is disabled. */
    void showPopupDisplay();
    /** The popup currently shown, or nullptr. */
    PopupDisplayComponent* getPopup() const noexcept { return popup.get(); }
    /** The typed-entry field. */
    TextEditor& getTextEntry() noexcept { return *textEntry; }

    /** Rebuilds contextMenu from the parameter and the enabled items. */
    void buildContextMenu();
    /** Acts on a context menu result (100 MIDI learn, 101 lock). */
    void handleContextMenuResult (int result);

    void mouseMove (const MouseEvent&) override;
    void mouseEnter (const MouseEvent&) override;
    void mouseExit (const MouseEvent&) override;
    void mouseDown (const MouseEvent&) override;
    void mouseDrag (const MouseEvent&) override;
    void mouseUp (const MouseEvent&) override;
    void mouseDoubleClick (const MouseEvent&) override;
    void mouseWheelMove (const MouseEvent&, const MouseWheelDetails&) override;
    bool hitTest (int x, int y) override;
    void modifierKeysChanged (const ModifierKeys&) override;
    void valueChanged() override;
    double getValueFromText (const String&) override;
    String getTextFromValue (double) override;
    void globalFocusChanged (Component*) override;
    void textEditorTextChanged (TextEditor&) override;
    void textEditorReturnKeyPressed (TextEditor&) override;
    void textEditorEscapeKeyPressed (TextEditor&) override;
    void textEditorFocusLost (TextEditor&) override;

    std::function<void (const MouseEvent&, int thumb)> onDoubleClick;
    AudioProcessorParameter* parameter = nullptr;
    bool altClickResets = false;
    bool clickSteps = false;
    bool useHitBox = false;
    int hitBoxLeft = 0, hitBoxRight = 0, hitBoxTop = 0, hitBoxBottom = 0;
    int initialDragDistance = 100;
    int fineDragDistance = 1000;
    float fineDragFactor = 0.0f;
    float dragDistance = 100.0f;
    std::unique_ptr<TextEditor> textEntry;
    bool doubleClickOpensTextEntry = true;
    ContextualHelpManager* helpManager = nullptr;
    int popupPlacement = BubbleComponent::above;
    int thumbWidth = -1, thumbHeight = -1;
    bool contextMenuEnabled = false;
    std::function<bool()> isParameterLocked;
    std::function<void (QELMidiMapping)> onMidiLearn;
    std::function<void()> onLockToggle;
    bool midiLearnItemEnabled = false;
    bool lockItemEnabled = false;
    LookAndFeel_V4 menuLookAndFeel;
    PopupMenu contextMenu;
    Point<int> popupOffset;
    Point<int> textEntryOffset;
    bool doubleClickResets = false;
    bool popupEnabled = false;
    std::unique_ptr<PopupDisplayComponent> popup;
    Component* popupParent = nullptr;
    int popupHideDelayMs = 2000;
    double lastPopupDismissal = 0.0;
    int popupJustification = Justification::centred;
    float specialValue1 = 0.0f;
    String specialText1;
    float specialValue2 = 0.0f;
    String specialText2;
    float minResetValue = 0.0f, maxResetValue = 0.0f;
    int hoveredThumb = -1;
    float popupHeightFactor = 1.0f;
    bool fineDragActive = false;
    bool disabledLook = false;
    bool hitTestThumbOnly = false;
    bool popupFollowsThumb = false;
    int popupFollowMode = 0;
    bool numericTextEntry = false;
    bool clickSetsValue = false;

    /** Milliseconds for the popup's re-show rule; Time::getMillisecondCounterHiRes when empty. */
    std::function<double()> clock;

protected:
    /** Shows contextMenu at the slider and acts on the chosen item. */
    virtual void showContextMenu();

private:
    friend class PopupDisplayComponent;

    double now() const;
    bool isResetModifier (const ModifierKeys&) const noexcept;
    bool isTwoValueStyle() const noexcept;
    double currentThumbValue() const;
    void resetHoveredThumb();
    void resetValueToDefault();
    void updateHoveredThumb (const MouseEvent&);
    void applyDragDistance();
    void restartDragAtLastPosition();
    void openTextEntry (const MouseEvent&);
    void hideTextEntry();

    Point<float> dragStartPosition, lastDragPosition, dragOffset;
    double valueOnMouseDown = 0.0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QELSlider)
};
} // namespace juce

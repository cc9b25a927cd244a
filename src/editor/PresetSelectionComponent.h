#pragma once

#include "editor/QELComponentBase.h"
#include "editor/QELImageButton.h"
#include "editor/QELTextButton.h"

#include <functional>
#include <memory>

namespace juce
{
/** The generic preset bar's face: a previous arrow, the current preset's name in a label that
    a double-click edits, and a next arrow. It reports arrow clicks, presses on the label and
    the text the label's editor held when it closed. */
class PresetSelectionComponent : public QELComponentBase, public Button::Listener, public Label::Listener
{
public:
    PresetSelectionComponent();
    ~PresetSelectionComponent() override;

    /** Previous and next arrows. */
    void buttonClicked (Button* button) override;
    /** Reports presses on the label itself. */
    void mouseDown (const MouseEvent& e) override;
    /** Does nothing: edits are reported when the editor closes. */
    void labelTextChanged (Label*) override {}
    /** Reports the editor's text. */
    void editorHidden (Label*, TextEditor& editor) override;
    /** Arrows of int(0.1 W) beside the label; the label's font follows the width. */
    void resized() override;

    /** A grid of one stretching row, every item and the content stretched: the preset bars' layout. */
    static Grid oneRowGrid();

    std::function<void()> onPrevious;
    std::function<void()> onNext;
    std::function<void (const MouseEvent&)> onLabelMouseDown;
    std::function<void (const String&)> onTextChanged;
    float arrowWidthFactor = 1.0f;
    QEL::PopupMenuLookAndFeel lookAndFeel;
    Label label;
    std::unique_ptr<QELArrowButton> previousButton, nextButton;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetSelectionComponent)
};
} // namespace juce

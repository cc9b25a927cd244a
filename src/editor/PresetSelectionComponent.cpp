#include "editor/PresetSelectionComponent.h"

namespace juce
{
namespace
{
    const Colour labelOutline { 0xff969696 };

    std::unique_ptr<QELArrowButton> makeArrow (const String& name, float direction, int connectedEdge,
                                               PresetSelectionComponent& owner)
    {
        auto arrow = std::make_unique<QELArrowButton> (name, direction, Colours::white);
        arrow->setClickingTogglesState (false);
        arrow->addListener (&owner);
        arrow->setLookAndFeel (&owner.lookAndFeel);
        arrow->setConnectedEdges (connectedEdge);
        return arrow;
    }
} // namespace

PresetSelectionComponent::PresetSelectionComponent()
{
    previousButton = makeArrow ("previous", 0.0f, Button::ConnectedOnRight, *this);
    previousButton->setBounds (0, 0, 40, 56);
    addAndMakeVisible (*previousButton);

    label.setFont (Font (32.0f, Font::plain));
    label.setBounds (40, 0, 390, 56);
    label.setText ("Default", dontSendNotification);
    label.setEditable (false, true, true);
    label.addListener (this);
    label.addMouseListener (this, true);
    label.setJustificationType (Justification::centred);
    label.setColour (Label::backgroundColourId,
                     LookAndFeel::getDefaultLookAndFeel().findColour (ResizableWindow::backgroundColourId));
    label.setColour (Label::outlineColourId, labelOutline);
    addAndMakeVisible (label);

    nextButton = makeArrow ("next", 0.5f, Button::ConnectedOnLeft, *this);
    nextButton->setBounds (430, 0, 40, 56);
    addAndMakeVisible (*nextButton);
}

PresetSelectionComponent::~PresetSelectionComponent()
{
    label.removeMouseListener (this);
    previousButton->setLookAndFeel (nullptr);
    nextButton->setLookAndFeel (nullptr);
}

void PresetSelectionComponent::buttonClicked (Button* button)
{
    if (button == previousButton.get() && onPrevious)
        onPrevious();
    else if (button == nextButton.get() && onNext)
        onNext();
}

void PresetSelectionComponent::mouseDown (const MouseEvent& e)
{
    if (e.eventComponent == &label && onLabelMouseDown)
        onLabelMouseDown (e);
}

void PresetSelectionComponent::editorHidden (Label*, TextEditor& editor)
{
    if (onTextChanged)
        onTextChanged (editor.getText());
}

Grid PresetSelectionComponent::oneRowGrid()
{
    Grid grid;
    grid.justifyItems = Grid::JustifyItems::stretch;
    grid.alignItems = Grid::AlignItems::stretch;
    grid.justifyContent = Grid::JustifyContent::stretch;
    grid.alignContent = Grid::AlignContent::stretch;
    grid.autoFlow = Grid::AutoFlow::row;
    grid.templateRows = { Grid::TrackInfo (Grid::Fr (1)) };
    return grid;
}

void PresetSelectionComponent::resized()
{
    const auto arrowWidth = (int) (0.1f * (float) getWidth() * arrowWidthFactor);

    auto grid = PresetSelectionComponent::oneRowGrid();
    grid.templateColumns = { Grid::TrackInfo (Grid::Px (arrowWidth)), Grid::TrackInfo (Grid::Fr (4)),
                             Grid::TrackInfo (Grid::Px (arrowWidth)) };
    grid.columnGap = Grid::Px (1);
    grid.rowGap = Grid::Px (0);
    grid.items = { GridItem (*previousButton), GridItem (label), GridItem (*nextButton) };
    grid.performLayout (getLocalBounds());

    const auto font = label.getFont().withHeight ((float) getWidth() * 20.0f / 300.0f);
    if (label.getFont() != font)
        label.setFont (font);
}
} // namespace juce

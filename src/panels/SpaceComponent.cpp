#include "panels/SpaceComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"

#include <BinaryData.h>

namespace tessaro::gui
{
SpaceComponent::SpaceComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* widgetInitializer,
                                 OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "SPACE", CustomColours::THEME_SPACE_FILL, CustomColours::THEME_SPACE_GLOW,
                     Params::paramSpacePower, BinaryData::space_off_png, BinaryData::space_off_pngSize,
                     BinaryData::space_animation_strip_png, BinaryData::space_animation_strip_pngSize })
{
    finishFrame();
}

SpaceComponent::~SpaceComponent()
{
    stopListening();
}

void SpaceComponent::resized()
{
    ModulePanel::resized();
}
} // namespace tessaro::gui

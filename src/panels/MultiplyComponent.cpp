#include "panels/MultiplyComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"

#include <BinaryData.h>

namespace tessaro::gui
{
MultiplyComponent::MultiplyComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* widgetInitializer,
                                       OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "MULTIPLY", CustomColours::THEME_MULTIPLY_FILL, CustomColours::THEME_MULTIPLY_GLOW,
                     Params::paramMultiplyPower, BinaryData::multiply_off_png, BinaryData::multiply_off_pngSize,
                     BinaryData::multiply_animation_strip_png, BinaryData::multiply_animation_strip_pngSize })
{
    finishFrame();
}

MultiplyComponent::~MultiplyComponent()
{
    stopListening();
}

void MultiplyComponent::resized()
{
    ModulePanel::resized();
}
} // namespace tessaro::gui

#include "panels/EnhanceComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"

#include <BinaryData.h>

namespace tessaro::gui
{
EnhanceComponent::EnhanceComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* widgetInitializer,
                                     OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "ENHANCE", CustomColours::THEME_ENHANCE_FILL, CustomColours::THEME_ENHANCE_GLOW,
                     Params::paramEnhancePower, BinaryData::enhance_off_png, BinaryData::enhance_off_pngSize,
                     BinaryData::enhance_animation_strip_png, BinaryData::enhance_animation_strip_pngSize })
{
    finishFrame();
}

EnhanceComponent::~EnhanceComponent()
{
    stopListening();
}

void EnhanceComponent::resized()
{
    ModulePanel::resized();
}
} // namespace tessaro::gui

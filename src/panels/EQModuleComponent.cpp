#include "panels/EQModuleComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"

#include <BinaryData.h>

namespace tessaro::gui
{
EQModuleComponent::EQModuleComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* widgetInitializer,
                                       OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "EQ", CustomColours::THEME_EQ_FILL, CustomColours::THEME_EQ_GLOW,
                     Params::paramEQPower, BinaryData::eq_off_png, BinaryData::eq_off_pngSize,
                     BinaryData::eq_animation_strip_png, BinaryData::eq_animation_strip_pngSize })
{
    finishFrame();
}

EQModuleComponent::~EQModuleComponent()
{
    stopListening();
}

void EQModuleComponent::resized()
{
    ModulePanel::resized();
}
} // namespace tessaro::gui

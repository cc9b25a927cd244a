#include "panels/GainComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"

#include <BinaryData.h>

namespace tessaro::gui
{
GainComponent::GainComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* widgetInitializer,
                               OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "GAIN", CustomColours::THEME_GAIN_FILL, CustomColours::THEME_GAIN_GLOW,
                     Params::paramGainPower, BinaryData::gain_off_png, BinaryData::gain_off_pngSize,
                     BinaryData::gain_animation_strip_png, BinaryData::gain_animation_strip_pngSize })
{
    finishFrame();
}

GainComponent::~GainComponent()
{
    stopListening();
}

void GainComponent::resized()
{
    ModulePanel::resized();
}
} // namespace tessaro::gui

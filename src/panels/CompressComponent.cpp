#include "panels/CompressComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"

#include <BinaryData.h>

namespace tessaro::gui
{
CompressComponent::CompressComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* widgetInitializer,
                                       OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "COMPRESS", CustomColours::THEME_COMP_FILL, CustomColours::THEME_COMP_GLOW,
                     Params::paramCompressPower, BinaryData::compress_off_png, BinaryData::compress_off_pngSize,
                     BinaryData::compress_animation_strip_png, BinaryData::compress_animation_strip_pngSize })
{
    finishFrame();
}

CompressComponent::~CompressComponent()
{
    stopListening();
}

void CompressComponent::resized()
{
    ModulePanel::resized();
}
} // namespace tessaro::gui

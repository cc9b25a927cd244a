#pragma once

#include "editor/PluginSettings.h"
#include "editor/QELComponentBase.h"
#include "editor/QELComponentInitializer.h"
#include "panels/DetectorComponent.h"
#include "panels/GainReductionMeter.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>

class OrvaneTessaroAudioProcessor;

/** The product's face inside the editor, laid out at 1300 x 800: the background, the header
    with the logos, and one area per module showing the module's picture, with the Compress
    gain-reduction meter and the Enhance detector lamps. */
class TessaroComponent : public juce::QELComponentBase
{
public:
    TessaroComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                      QEL::PluginSettings& settings, OrvaneTessaroAudioProcessor& processor);
    ~TessaroComponent() override;

    /** The background, logos and module pictures. */
    void paint (juce::Graphics& g) override;

    /** Places the module areas and, when set, the size combo. */
    void resized() override;

    /** The Compress module's gain-reduction meter. */
    tessaro::gui::GainReductionMeter& getGainReductionMeter() noexcept { return gainReductionMeter; }

    /** The Enhance module's de-ess lamp. */
    tessaro::gui::DetectorComponent& getDeEssLamp() noexcept { return deEssLamp; }

    /** The Enhance module's de-noise lamp. */
    tessaro::gui::DetectorComponent& getDeNoiseLamp() noexcept { return deNoiseLamp; }

    /** The animation mode: 0 off, 1 on, 2 always on. */
    int getAnimationMode() const noexcept { return animationMode; }

    /** Called by the Resize button; the editor sets it to open or close its size menu. */
    std::function<void()> onResizeRequest;

    /** The editor's size combo, added to this panel hidden; positioned by resized. */
    juce::ComboBox* sizeCombo = nullptr;

    /** Left edges of the seven separators between the module areas. */
    static constexpr int separators[] = { 9, 221, 433, 644, 856, 1068, 1281 };

private:
    QEL::PluginSettings& pluginSettings;
    int animationMode = 1;
    juce::Image background;
    std::unique_ptr<juce::Drawable> orvaneLogo, tessaroLogo;
    juce::Image moduleStills[6];
    tessaro::gui::GainReductionMeter gainReductionMeter;
    tessaro::gui::DetectorComponent deEssLamp, deNoiseLamp;
    juce::Font titleFont;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TessaroComponent)
};

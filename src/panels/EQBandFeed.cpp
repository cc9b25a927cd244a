#include "panels/EQBandFeed.h"

#include "core/PluginProcessor.h"

namespace tessaro::gui
{
QEL::FilterData EQBandFeed::record (EQBandSlot slot, float hz, float q, float gainDb)
{
    QEL::FilterData data;
    data.bandId = -1;
    data.frequency = hz;
    data.gain = gainDb > -100.0f ? std::pow (10.0f, gainDb / 20.0f) : 0.0f;
    data.q = q;
    data.slope = 0;
    data.enabled = data.switchedOn = true;
    data.type = slot == EQBandSlot::low ? 1 : (slot == EQBandSlot::mid ? 2 : 3);
    data.channelMode = 0;
    data.dynamic = false;
    data.threshold = 0.0f;
    data.attack = data.release = 1.0f;
    data.sidechain = data.shapedDetector = false;
    data.splitMode = 0;
    return data;
}

EQBandFeed::CoefficientsPtr EQBandFeed::peak (float hz, float q, float gainFactor)
{
    return juce::dsp::IIR::Coefficients<double>::makePeakFilter (juce::QELEQBand::evaluationRate, hz, q,
                                                                 std::max ((double) gainFactor, 1.0e-15));
}

EQBandFeed::CoefficientsPtr EQBandFeed::flat()
{
    return juce::dsp::IIR::Coefficients<double>::makePeakFilter (48000.0, 8.0, 0.707, 1.0);
}

void EQBandFeed::refresh (QELEQComponent& view, OrvaneTessaroAudioProcessor& processor, EQBandSlot slot)
{
    auto& eq = processor.tessaroProcessor.eqProcessor;
    const auto& [hz, q, db] =
        slot == EQBandSlot::high  ? std::tie (processor.eqHighFreq, processor.eqHighQ, processor.eqHighGain)
        : slot == EQBandSlot::mid ? std::tie (processor.eqMidFreq, processor.eqMidQ, processor.eqMidGain)
                                  : std::tie (processor.eqLowFreq, processor.eqLowQ, processor.eqLowGain);
    const auto data = record (slot, hz.load(), q.load(), db.load());

    CoefficientsPtr a;
    switch (slot)
    {
        case EQBandSlot::high: a = eq.highBand.computeMixedCoefficients(); break;
        case EQBandSlot::low: a = eq.lowBand.computeMixedCoefficients(); break;
        case EQBandSlot::mid: a = peak (data.frequency, data.q, data.gain); break;
    }
    if (! showsAlready (*view.bands[0], data, a))
        view.updateBandA (0, data, juce::Colours::white, a, flat());
}

bool EQBandFeed::showsAlready (const juce::QELEQBand& band, const QEL::FilterData& data, const CoefficientsPtr& a)
{
    return band.coefficientsA != nullptr && band.coefficientsB != nullptr && a != nullptr &&
           band.frequency == data.frequency && band.q == data.q && band.gain == data.gain &&
           band.used == data.switchedOn && band.enabled == data.enabled &&
           band.coefficientsA->coefficients == a->coefficients;
}
} // namespace tessaro::gui

#include "dsp/reverb/SkyPlateReverbProcessor.h"

namespace QEL
{
SkyPlateReverbProcessor::SkyPlateReverbProcessor()
    : SkyEngineReverbProcessor (QELReverbProcessor::preset3, { 0.5f, 95.0f, 5.0f, 78.0f, 22.0f })
{
    setMix (100.0f);
    setDecay (0.0f);
    setTone (100.0f);
    setPreDelay (0.0f);
    setMod (0.0f);
    reverb.setEarlyOut (0.0f);
    setTone (50.0f);
    setPreDelay (0.0f);
    setMassive (false);
}

SkyPlateReverbProcessor::~SkyPlateReverbProcessor() = default;
} // namespace QEL

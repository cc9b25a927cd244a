#include "dsp/reverb/SkyRoomReverbProcessor.h"

namespace QEL
{
SkyRoomReverbProcessor::SkyRoomReverbProcessor()
    : SkyEngineReverbProcessor (QELReverbProcessor::preset0, { 1.0f, 81.0f, 19.0f, 78.0f, 22.0f })
{
    setMix (100.0f);
    setDecay (0.0f);
    setTone (100.0f);
    setPreDelay (0.0f);
    setMod (0.0f);
    for (int pass = 0; pass < 2; ++pass)
    {
        reverb.setEarlyOut (86.0f);
        reverb.setMainOut (91.0f);
    }
    setTone (100.0f);
    setPreDelay (0.0f);
    setMassive (false);
}

SkyRoomReverbProcessor::~SkyRoomReverbProcessor() = default;
} // namespace QEL

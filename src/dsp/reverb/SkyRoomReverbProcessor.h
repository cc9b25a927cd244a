#pragma once

#include "dsp/reverb/SkyEngineReverbProcessor.h"

namespace QEL
{
/** "Bright Room": the engine's preset 0 with raised early and late levels and the input low-pass off. */
class SkyRoomReverbProcessor : public SkyEngineReverbProcessor
{
public:
    SkyRoomReverbProcessor();
    ~SkyRoomReverbProcessor() override;
};
} // namespace QEL

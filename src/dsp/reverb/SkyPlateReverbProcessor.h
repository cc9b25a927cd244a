#pragma once

#include "dsp/reverb/SkyEngineReverbProcessor.h"

namespace QEL
{
/** "Dark Room": the engine's preset 3 without early reflections, at half the decay and a darker tone. */
class SkyPlateReverbProcessor : public SkyEngineReverbProcessor
{
public:
    SkyPlateReverbProcessor();
    ~SkyPlateReverbProcessor() override;
};
} // namespace QEL

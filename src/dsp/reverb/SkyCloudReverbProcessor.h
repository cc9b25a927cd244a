#pragma once

#include "dsp/reverb/SkyEngineReverbProcessor.h"

namespace QEL
{
/** "Outer Space": the engine's preset 1, massive (the full decay range) with denser diffusion. */
class SkyCloudReverbProcessor : public SkyEngineReverbProcessor
{
public:
    SkyCloudReverbProcessor();
    ~SkyCloudReverbProcessor() override;
};
} // namespace QEL

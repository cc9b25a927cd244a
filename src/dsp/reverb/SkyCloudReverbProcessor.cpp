#include "dsp/reverb/SkyCloudReverbProcessor.h"

namespace QEL
{
using namespace CloudSeed;

SkyCloudReverbProcessor::SkyCloudReverbProcessor()
    : SkyEngineReverbProcessor (QELReverbProcessor::preset1, { 1.0f, 54.0f, 46.0f, 68.0f, 32.0f })
{
    setMix (100.0f);
    setDecay (0.0f);
    setTone (100.0f);
    setPreDelay (0.0f);
    setMod (0.0f);

    // Denser early and late diffusion than the preset's (single-precision constants).
    for (int pass = 0; pass < 2; ++pass)
    {
        for (auto [key, value] :
             { std::pair { DiffusionFeedback, (double) 0.76f }, std::pair { LateDiffusionFeedback, (double) 0.72f } })
        {
            reverb.controller.parameters[key] = value;
            reverb.controller.channelL.SetParameter (key, value);
            reverb.controller.channelR.SetParameter (key, value);
        }
    }

    setTone (50.0f);
    setPreDelay (0.0f);
    setMassive (true);
}

SkyCloudReverbProcessor::~SkyCloudReverbProcessor() = default;
} // namespace QEL

#pragma once

#include "dsp/base/QELProcessorBase.h"

namespace tessaro::dsp
{
/** Base of the chain's six modules: a DSP block that also tells its latency. */
class ModuleProcessorBase : public juce::QELProcessorBase
{
public:
    /** The latency the module adds, in samples, whether it is switched on or off. */
    virtual int getLatencyInSamples() { return 0; }

    /** True when the module's output can carry sound its input no longer has (a delay line, an echo, a
        reverb), so moving it in the chain fades every connection around it. */
    virtual bool holdsPastAudio() const noexcept { return false; }

    /** Told on the audio thread when a new module order gives this module other modules ahead of it, so
        its input level may step at the next sample; a module whose detector would settle audibly eases
        into the new level. */
    virtual void inputSourceChanged() noexcept {}
};
} // namespace tessaro::dsp

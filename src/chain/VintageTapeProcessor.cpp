#include "chain/VintageTapeProcessor.h"

namespace tessaro::dsp
{
VintageTapeProcessor::VintageTapeProcessor() : shape ([] (float x) { return std::atan (x); }) {}

void VintageTapeProcessor::processImpl (float* sample, int)
{
    *sample = shape (*sample);
}
} // namespace tessaro::dsp

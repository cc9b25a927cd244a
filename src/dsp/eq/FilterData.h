#pragma once

namespace QEL
{
/** One EQ band as the parameter router, the band processor and the EQ curve see it.

    type: 0 high-pass, 1 low shelf, 2 peak, 3 high shelf, 4 low-pass, 5 high shelf (with an unused inverse
    low shelf), 6 band-pass. slope (pass and band-pass types): 0 first order (band-pass: one section),
    1 second order with q, 2 second order then first order, 3 second order with q twice.
    channelMode: 0 every channel, 1 left, 2 right, 3 mid, 4 side. splitMode: 0 whole signal, 1 transient
    share only, 2 sustained share only; other values pass the signal unfiltered. */
struct FilterData
{
    int bandId = -1;
    float frequency = 20.0f;
    /** Linear gain factor; 1 is 0 dB. */
    float gain = 1.0f;
    float q = 0.707f;
    int slope = 0;
    bool enabled = true;
    bool switchedOn = true;
    int type = 2;
    int channelMode = 0;
    bool dynamic = false;
    /** Dynamic threshold in dB. */
    float threshold = 0.0f;
    /** Dynamic attack in ms. */
    float attack = 1.0f;
    /** Dynamic release in ms. */
    float release = 1.0f;
    bool sidechain = false;
    bool shapedDetector = false;
    int splitMode = 0;
};
} // namespace QEL

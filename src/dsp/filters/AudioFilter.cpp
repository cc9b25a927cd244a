#include "dsp/filters/AudioFilter.h"

#include "dsp/base/DspConstants.h"

#include <algorithm>
#include <cmath>

namespace QEL
{
namespace
{
    using C = CustomBiquad;
    constexpr double pi = 3.141592653589793;

    /** The design inputs shared by every row. */
    struct Design
    {
        double fc, Q, gainDb, fs;
        double theta() const { return 2.0 * pi * fc / fs; }
        double tanHalfTheta() const { return std::tan (pi * fc / fs); }
        double bandwidthAngle() const { return std::min (pi * (fc / Q) / fs, AudioFilter::maxBandwidthAngle); }
    };

    using Coeffs = double[C::numCoefficients];

    double resonancePeakDb (double Q)
    {
        return Q <= 0.707 ? 0.0 : 20.0 * std::log10 (Q * Q / std::sqrt (Q * Q - 0.25));
    }

    void secondOrderPass (const Design& d, Coeffs c, bool highPass)
    {
        const double th = d.theta();
        const double halfDamping = 0.5 / d.Q;
        const double beta = 0.5 * (1.0 - halfDamping * std::sin (th)) / (1.0 + halfDamping * std::sin (th));
        const double gamma = (0.5 + beta) * std::cos (th);
        const double alpha = highPass ? (0.5 + beta + gamma) / 2.0 : (0.5 + beta - gamma) / 2.0;
        c[C::a0] = alpha;
        c[C::a1] = highPass ? -2.0 * alpha : 2.0 * alpha;
        c[C::a2] = alpha;
        c[C::b1] = -2.0 * gamma;
        c[C::b2] = 2.0 * beta;
    }

    void bandPassOrStop (const Design& d, Coeffs c, bool stop)
    {
        const double K = d.tanHalfTheta();
        const double delta = K * K * d.Q + K + d.Q;
        if (stop)
        {
            c[C::a0] = c[C::a2] = d.Q * (K * K + 1.0) / delta;
            c[C::a1] = 2.0 * d.Q * (K * K - 1.0) / delta;
        }
        else
        {
            c[C::a0] = K / delta;
            c[C::a2] = -K / delta;
        }
        c[C::b1] = 2.0 * d.Q * (K * K - 1.0) / delta;
        c[C::b2] = (K * K * d.Q - K + d.Q) / delta;
    }

    void butterworthPass (const Design& d, Coeffs c, bool highPass)
    {
        const double C_ = highPass ? d.tanHalfTheta() : 1.0 / d.tanHalfTheta();
        const double a0 = 1.0 / (1.0 + kSqrtTwo * C_ + C_ * C_);
        c[C::a0] = a0;
        c[C::a1] = highPass ? -2.0 * a0 : 2.0 * a0;
        c[C::a2] = a0;
        c[C::b1] = highPass ? 2.0 * a0 * (C_ * C_ - 1.0) : 2.0 * a0 * (1.0 - C_ * C_);
        c[C::b2] = a0 * (1.0 - kSqrtTwo * C_ + C_ * C_);
    }

    void analogMatchedLowPass (const Design& d, Coeffs c, bool normalisePeak)
    {
        const double th = d.theta();
        const double peakDb = resonancePeakDb (d.Q);
        const double r = (std::cos (th) + std::sin (th) * std::sqrt (std::pow (10.0, peakDb / 10.0) - 1.0)) /
                         (std::pow (10.0, peakDb / 20.0) * std::sin (th) + 1.0);
        const double g = normalisePeak ? std::pow (10.0, -peakDb / 40.0) : 1.0;
        c[C::b1] = -2.0 * r * std::cos (th);
        c[C::b2] = r * r;
        c[C::a0] = g * (1.0 + c[C::b1] + c[C::b2]);
    }

    void firstOrderShelf (const Design& d, Coeffs c, bool highShelf)
    {
        const double mu = std::pow (10.0, d.gainDb / 20.0);
        const double tanHalf = std::tan (d.theta() / 2.0);
        const double delta = highShelf ? ((1.0 + mu) / 4.0) * tanHalf : (4.0 / (1.0 + mu)) * tanHalf;
        const double gamma = (1.0 - delta) / (1.0 + delta);
        if (highShelf)
        {
            c[C::a0] = (1.0 + gamma) / 2.0;
            c[C::a1] = -c[C::a0];
        }
        else
        {
            c[C::a0] = c[C::a1] = (1.0 - gamma) / 2.0;
        }
        c[C::b1] = -gamma;
        c[C::c0] = mu - 1.0;
        c[C::d0] = 1.0;
    }

    void peakVaryingQ (const Design& d, Coeffs c)
    {
        const double th = d.theta();
        const double mu = std::pow (10.0, d.gainDb / 20.0);
        const double zeta = 4.0 / (1.0 + mu);
        const double t = std::tan (std::min (th / (2.0 * d.Q), AudioFilter::maxBandwidthAngle));
        const double beta = 0.5 * (1.0 - zeta * t) / (1.0 + zeta * t);
        const double gamma = (0.5 + beta) * std::cos (th);
        c[C::a0] = 0.5 - beta;
        c[C::a2] = -c[C::a0];
        c[C::b1] = -2.0 * gamma;
        c[C::b2] = 2.0 * beta;
        c[C::c0] = mu - 1.0;
        c[C::d0] = 1.0;
    }

    void peakConstantQ (const Design& d, Coeffs c)
    {
        const double K = d.tanHalfTheta();
        const double V = std::pow (10.0, d.gainDb / 20.0);
        const double KK = K * K;
        const double n = 1.0 + K / d.Q + KK;
        const double e = 1.0 + K / (V * d.Q) + KK;
        const double alpha = 1.0 + V * K / d.Q + KK;
        const double beta = 2.0 * (KK - 1.0);
        const double gamma = 1.0 - V * K / d.Q + KK;
        const double delta = 1.0 - K / d.Q + KK;
        const double eta = 1.0 - K / (V * d.Q) + KK;

        if (d.gainDb >= 0.0)
        {
            c[C::a0] = alpha / n;
            c[C::a1] = beta / n;
            c[C::a2] = gamma / n;
            c[C::b1] = beta / n;
            c[C::b2] = delta / n;
        }
        else
        {
            c[C::a0] = n / e;
            c[C::a1] = beta / e;
            c[C::a2] = delta / e;
            c[C::b1] = beta / e;
            c[C::b2] = eta / e;
        }
    }

    void linkwitzRiley (const Design& d, Coeffs c, bool highPass)
    {
        const double omega = pi * d.fc;
        const double k = omega / d.tanHalfTheta();
        const double D = k * k + omega * omega + 2.0 * k * omega;
        const double num = highPass ? k * k : omega * omega;
        c[C::a0] = num / D;
        c[C::a1] = (highPass ? -2.0 : 2.0) * num / D;
        c[C::a2] = c[C::a0];
        c[C::b1] = (2.0 * omega * omega - 2.0 * k * k) / D;
        c[C::b2] = (omega * omega + k * k - 2.0 * k * omega) / D;
    }

    void allPass (const Design& d, Coeffs c, bool secondOrder)
    {
        if (! secondOrder)
        {
            const double t = d.tanHalfTheta();
            const double alpha = (t - 1.0) / (t + 1.0);
            c[C::a0] = alpha;
            c[C::a1] = 1.0;
            c[C::b1] = alpha;
            return;
        }

        const double t = std::tan (d.bandwidthAngle());
        const double alpha = (t - 1.0) / (t + 1.0);
        const double beta = -std::cos (d.theta());
        c[C::a0] = -alpha;
        c[C::a1] = beta * (1.0 - alpha);
        c[C::a2] = 1.0;
        c[C::b1] = beta * (1.0 - alpha);
        c[C::b2] = -alpha;
    }

    void resonator (const Design& d, Coeffs c, bool zerosAtEnds)
    {
        c[C::b2] = std::exp (-2.0 * pi * (d.fc / d.Q) / d.fs);
        c[C::b1] = (-4.0 * c[C::b2] / (1.0 + c[C::b2])) * std::cos (d.theta());
        if (zerosAtEnds)
        {
            c[C::a0] = 1.0 - std::sqrt (c[C::b2]);
            c[C::a2] = -c[C::a0];
        }
        else
        {
            c[C::a0] = (1.0 - c[C::b2]) * std::sqrt (1.0 - c[C::b1] * c[C::b1] / (4.0 * c[C::b2]));
        }
    }

    /** The poles shared by the matched designs 23 to 26. */
    void matchedPoles (const Design& d, Coeffs c)
    {
        const double th = d.theta();
        const double q = 1.0 / (2.0 * d.Q);
        c[C::b2] = std::exp (-2.0 * q * th);
        c[C::b1] = q <= 1.0 ? -2.0 * std::exp (-q * th) * std::cos (std::sqrt (1.0 - q * q) * th)
                            : -2.0 * std::exp (-q * th) * std::cosh (std::sqrt (q * q - 1.0) * th);
    }

    struct MatchedTerms
    {
        double B0, B1, B2, phi0, phi1, phi2;
    };

    MatchedTerms matchedTerms (const Design& d, const Coeffs c)
    {
        MatchedTerms m;
        m.B0 = (1.0 + c[C::b1] + c[C::b2]) * (1.0 + c[C::b1] + c[C::b2]);
        m.B1 = (1.0 - c[C::b1] + c[C::b2]) * (1.0 - c[C::b1] + c[C::b2]);
        m.B2 = -4.0 * c[C::b2];
        const double s = std::sin (d.theta() / 2.0);
        m.phi1 = s * s;
        m.phi0 = 1.0 - m.phi1;
        m.phi2 = 4.0 * m.phi0 * m.phi1;
        return m;
    }

    void matchedLowPassTight (const Design& d, Coeffs c)
    {
        matchedPoles (d, c);
        const auto m = matchedTerms (d, c);
        const double R1 = (m.B0 * m.phi0 + m.B1 * m.phi1 + m.B2 * m.phi2) * d.Q * d.Q;
        const double A1 = std::max (0.0, (R1 - m.B0 * m.phi0) / m.phi1);
        c[C::a0] = (std::sqrt (m.B0) + std::sqrt (A1)) / 2.0;
        c[C::a1] = std::sqrt (m.B0) - c[C::a0];
    }

    double looseFitDenominator (double f0, double Q)
    {
        return std::sqrt ((1.0 - f0 * f0) * (1.0 - f0 * f0) + f0 * f0 / (Q * Q));
    }

    void matchedLowPassLoose (const Design& d, Coeffs c)
    {
        matchedPoles (d, c);
        const double f0 = d.theta() / pi;
        const double r0 = 1.0 + c[C::b1] + c[C::b2];
        const double r1 = (1.0 - c[C::b1] + c[C::b2]) * f0 * f0 / looseFitDenominator (f0, d.Q);
        c[C::a0] = (r0 + r1) / 2.0;
        c[C::a1] = r0 - c[C::a0];
    }

    void matchedBandPassTight (const Design& d, Coeffs c)
    {
        matchedPoles (d, c);
        const auto m = matchedTerms (d, c);
        const double R1 = m.B0 * m.phi0 + m.B1 * m.phi1 + m.B2 * m.phi2;
        const double R2 = -m.B0 + m.B1 + 4.0 * (m.phi0 - m.phi1) * m.B2;
        const double A2 = (R1 - R2 * m.phi1) / (4.0 * m.phi1 * m.phi1);
        const double A1 = R2 + 4.0 * (m.phi1 - m.phi0) * A2;
        c[C::a1] = -std::sqrt (A1) / 2.0;
        c[C::a0] = (std::sqrt (A2 + c[C::a1] * c[C::a1]) - c[C::a1]) / 2.0;
        c[C::a2] = -c[C::a0] - c[C::a1];
    }

    void matchedBandPassLoose (const Design& d, Coeffs c)
    {
        matchedPoles (d, c);
        const double f0 = d.theta() / pi;
        const double r0 = (1.0 + c[C::b1] + c[C::b2]) / (pi * f0 * d.Q);
        const double r1 = (1.0 - c[C::b1] + c[C::b2]) * (f0 / d.Q) / looseFitDenominator (f0, d.Q);
        c[C::a1] = -r1 / 2.0;
        c[C::a0] = (r0 - c[C::a1]) / 2.0;
        c[C::a2] = -c[C::a0] - c[C::a1];
    }

    void impulseInvariantLowPass (const Design& d, Coeffs c, bool secondOrder)
    {
        if (! secondOrder)
        {
            const double e = std::exp (-2.0 * pi * d.fc / d.fs);
            c[C::a0] = 1.0 - e;
            c[C::b1] = -e;
            return;
        }

        const double th = d.theta();
        const double zeta = 1.0 / (2.0 * d.Q);
        const double w = std::sqrt (1.0 - zeta * zeta);
        const double p = th * w;
        const double e = std::exp (-th / (2.0 * d.Q));
        c[C::a0] = 0.0;
        c[C::a1] = -2.0 * (th / (2.0 * w)) * std::sin (p) * e;
        c[C::b1] = -2.0 * e * std::cos (p);
        c[C::b2] = e * e;
    }

    /** Writes the design of one algorithm into c; false for an unknown algorithm. */
    bool design (int algorithm, const Design& d, Coeffs c)
    {
        switch (algorithm)
        {
            case 0:
            {
                const double gamma = 2.0 - std::cos (d.theta());
                c[C::b1] = std::sqrt (gamma * gamma - 1.0) - gamma;
                c[C::a0] = 1.0 + c[C::b1];
                return true;
            }
            case 1:
            case 2:
            {
                const double th = d.theta();
                const double gamma = std::cos (th) / (1.0 + std::sin (th));
                c[C::a0] = algorithm == 1 ? (1.0 - gamma) / 2.0 : (1.0 + gamma) / 2.0;
                c[C::a1] = algorithm == 1 ? c[C::a0] : -c[C::a0];
                c[C::b1] = -gamma;
                return true;
            }
            case 3: secondOrderPass (d, c, false); return true;
            case 4: secondOrderPass (d, c, true); return true;
            case 5: bandPassOrStop (d, c, false); return true;
            case 6: bandPassOrStop (d, c, true); return true;
            case 7: butterworthPass (d, c, false); return true;
            case 8: butterworthPass (d, c, true); return true;
            case 9:
            {
                const double C_ = 1.0 / std::tan (d.bandwidthAngle());
                const double D = 2.0 * std::cos (d.theta());
                c[C::a0] = 1.0 / (1.0 + C_);
                c[C::a2] = -c[C::a0];
                c[C::b1] = -c[C::a0] * C_ * D;
                c[C::b2] = c[C::a0] * (C_ - 1.0);
                return true;
            }
            case 10:
            {
                const double C_ = std::tan (d.bandwidthAngle());
                const double D = 2.0 * std::cos (d.theta());
                c[C::a0] = 1.0 / (1.0 + C_);
                c[C::a1] = -c[C::a0] * D;
                c[C::a2] = c[C::a0];
                c[C::b1] = -c[C::a0] * D;
                c[C::b2] = c[C::a0] * (1.0 - C_);
                return true;
            }
            case 11: analogMatchedLowPass (d, c, true); return true;
            case 12: analogMatchedLowPass (d, c, false); return true;
            case 13: firstOrderShelf (d, c, false); return true;
            case 14: firstOrderShelf (d, c, true); return true;
            case 15: peakVaryingQ (d, c); return true;
            case 16: peakConstantQ (d, c); return true;
            case 17: linkwitzRiley (d, c, false); return true;
            case 18: linkwitzRiley (d, c, true); return true;
            case 19: allPass (d, c, false); return true;
            case 20: allPass (d, c, true); return true;
            case 21: resonator (d, c, false); return true;
            case 22: resonator (d, c, true); return true;
            case 23: matchedLowPassTight (d, c); return true;
            case 24: matchedLowPassLoose (d, c); return true;
            case 25: matchedBandPassTight (d, c); return true;
            case 26: matchedBandPassLoose (d, c); return true;
            case 27: impulseInvariantLowPass (d, c, false); return true;
            case 28: impulseInvariantLowPass (d, c, true); return true;
            default: return false;
        }
    }
} // namespace

void AudioFilter::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    biquad.structure = CustomBiquad::transposedCanonicalForm;
    biquad.QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    calculateFilterCoeffs();
}

void AudioFilter::reset()
{
    QELProcessorBase::reset();
    biquad.reset();
    calculateFilterCoeffs();
}

void AudioFilter::processImpl (float* const* channels, int numSamples, int, int numOutputChannels)
{
    for (int channel = 0; channel < numOutputChannels; ++channel)
    {
        float* samples = channels[channel];
        for (int i = 0; i < numSamples; ++i)
            samples[i] = (float) processSample ((double) samples[i]);
    }
}

void AudioFilter::calculateFilterCoeffs()
{
    std::fill (std::begin (coeffs), std::end (coeffs), 0.0);
    coeffs[CustomBiquad::a0] = 1.0;
    coeffs[CustomBiquad::c0] = 1.0;

    if (design (algorithm, { fc, Q, boostCutDb, sampleRate }, coeffs))
        std::copy (std::begin (coeffs), std::end (coeffs), std::begin (biquad.coeffs));
}
} // namespace QEL

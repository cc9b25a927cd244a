#!/usr/bin/env python3
"""Writes the factory bank into resources/presets in the product's preset format:
the parameter tree rooted at orvane_tessaro (one PARAM per parameter, ascending ID),
the per-instance element with only the preset version, JUCE's default XML text format."""
from pathlib import Path

DEFAULTS = {
    "paramMix": 100, "paramBypass": 0,
    "paramCompressPower": 1, "paramCompressInput": 0, "paramCompressCompression": 0,
    "paramCompressOutput": 0, "paramCompressSlow": 0, "paramCompressAuto": 1,
    "paramEnhancePower": 1, "paramEnhanceDeEss": 0, "paramEnhanceDeNoise": 0,
    "paramEnhanceAir": 0, "paramEnhancePreComp": 0,
    "paramEQPower": 1, "paramEQHighFreq": 5000, "paramEQHighGain": 0, "paramEQHighQ": 0.707,
    "paramEQMidFreq": 1000, "paramEQMidGain": 0, "paramEQMidQ": 0.707,
    "paramEQLowFreq": 100, "paramEQLowGain": 0, "paramEQLowQ": 0.707,
    "paramEQPre": 0, "paramEQAdLib": 0,
    "paramMultiplyPower": 1, "paramMultiplySpread": 100, "paramMultiplyOffset": 0,
    "paramMultiplyAmount": 0, "paramMultiplyLow": 0,
    "paramSpacePower": 1, "paramSpaceReverbType": 0, "paramSpaceReverbTime": 50,
    "paramSpaceReverbAmount": 0, "paramSpaceDelaySync": 1, "paramSpaceDelayType": 0,
    "paramSpaceDelayTime": 200, "paramSpaceDelayNote": 10, "paramSpaceDelayAmount": 0,
    "paramSpaceDelayFeedback": 50,
    "paramGainPower": 1, "paramGainType": 0, "paramGainDrive": 0, "paramGainMix": 100,
    "paramGainGain": 0, "paramGainPreFx": 0, "paramGainLimit": 0,
}

# Note choices: 10 "1/8", 11 "1/8D", 13 "1/4", 14 "1/4D".  Reverb: 1 Bright Room,
# 2 Dark Room, 3 Cathedral, 4 Outer Space.  Delay: 1 Lofi, 2 Tape, 3 Modern, 4 Pong.
# Gain: 1 Vintage Tape, 2 Clean Tube, 3 Warm Tube, 4 Broken Tube.
PRESETS = {
    "Init": {},
    "Factory/Easy Vocal Chain": {
        "paramCompressCompression": 35, "paramEnhanceDeEss": 30, "paramEnhanceAir": 25,
        "paramEQHighFreq": 8000, "paramEQHighGain": 2, "paramEQMidFreq": 350, "paramEQMidGain": -1.5,
        "paramEQMidQ": 1.2, "paramEQLowFreq": 90, "paramEQLowGain": -2,
        "paramSpaceReverbType": 1, "paramSpaceReverbTime": 40, "paramSpaceReverbAmount": 15,
        "paramGainType": 3, "paramGainDrive": 15, "paramGainLimit": 1,
    },
    "Factory/VOCAL Radio Ready": {
        "paramCompressInput": 2, "paramCompressCompression": 60, "paramEnhanceDeEss": 45,
        "paramEnhanceAir": 40, "paramEQHighFreq": 10000, "paramEQHighGain": 3,
        "paramEQMidFreq": 2500, "paramEQMidGain": 1.5, "paramEQLowFreq": 120, "paramEQLowGain": -3,
        "paramGainType": 1, "paramGainDrive": 25, "paramGainLimit": 1,
    },
    "Factory/VOCAL Intimate": {
        "paramCompressCompression": 25, "paramCompressSlow": 1, "paramEnhanceDeNoise": 20,
        "paramEnhanceAir": 15, "paramEQLowFreq": 180, "paramEQLowGain": 1.5,
        "paramSpaceReverbType": 2, "paramSpaceReverbTime": 30, "paramSpaceReverbAmount": 12,
    },
    "Factory/VOCAL Wide Double": {
        "paramCompressCompression": 40, "paramEnhanceDeEss": 25, "paramMultiplySpread": 150,
        "paramMultiplyOffset": 30, "paramMultiplyAmount": 40, "paramSpaceReverbType": 3,
        "paramSpaceReverbTime": 55, "paramSpaceReverbAmount": 20,
    },
    "Factory/FX Telephone": {
        "paramCompressCompression": 50, "paramEQPre": 1, "paramEQHighFreq": 3000, "paramEQHighGain": -15,
        "paramEQMidFreq": 1500, "paramEQMidGain": 6, "paramEQMidQ": 1.5, "paramEQLowFreq": 400,
        "paramEQLowGain": -15, "paramGainType": 4, "paramGainDrive": 60, "paramGainMix": 70,
    },
    "Factory/FX Outer Space": {
        "paramSpaceReverbType": 4, "paramSpaceReverbTime": 90, "paramSpaceReverbAmount": 60,
        "paramSpaceDelayType": 4, "paramSpaceDelayNote": 14, "paramSpaceDelayAmount": 35,
        "paramSpaceDelayFeedback": 55, "paramGainPreFx": 1,
    },
    "Factory/FX Tape Echo": {
        "paramCompressCompression": 30, "paramSpaceDelayType": 2, "paramSpaceDelayNote": 11,
        "paramSpaceDelayAmount": 30, "paramSpaceDelayFeedback": 40, "paramGainType": 1,
        "paramGainDrive": 20,
    },
}


def number(value):
    """JUCE writes a number attribute as a double: always with a decimal point."""
    text = repr(float(value))
    return text


def write(name, overrides):
    unknown = set(overrides) - set(DEFAULTS)
    assert not unknown, unknown
    values = dict(DEFAULTS, **overrides)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "", '<orvane_tessaro type="factory">']
    for pid in sorted(values):  # code-point order, as the parameter state writes it
        lines.append(f'  <PARAM id="{pid}" value="{number(values[pid])}"/>')
    lines.append('  <PARAM id="additional_data" preset_version="1.0.0"/>')
    lines.append("</orvane_tessaro>")
    path = ROOT / f"{name}.orvane"
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-8"))


ROOT = Path(__file__).resolve().parents[2] / "resources" / "presets"

if __name__ == "__main__":
    for preset_name, settings in PRESETS.items():
        write(preset_name, settings)

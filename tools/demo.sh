#!/usr/bin/env bash
# The main job: builds the plug-in, installs it where Linux hosts look (~/.vst3) with its
# factory presets, and renders a spoken phrase through the installed bundle as a host would:
# once with the factory preset the plug-in opens with ("Easy Vocal Chain"), then with a few
# settings changed on top of it, and reports what each change did to latency and levels.
# Extra arguments go to every render (for example --block 64 or --rate 48000).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TESSARO_BUILD_DIR:-$root/build}"

bash "$root/tools/setup.sh"
bash "$root/tools/build.sh"

bundle="$build/OrvaneTessaro_artefacts/Release/VST3/Orvane Tessaro.vst3"
mkdir -p "$HOME/.vst3"
rm -rf "$HOME/.vst3/Orvane Tessaro.vst3"
cp -r "$bundle" "$HOME/.vst3/"
echo "Installed: $HOME/.vst3/Orvane Tessaro.vst3"

presets="$HOME/.local/share/Orvane/Orvane Tessaro/Presets"
mkdir -p "$presets"
cp -r "$root/resources/presets/." "$presets/"
echo "Factory presets: $presets"

out="$root/out"
mkdir -p "$out"
espeak-ng -v en-us -s 150 -w "$out/phrase-raw.wav" \
    "Orvane Tessaro puts a whole vocal chain on one track. Listen to the voice, then listen again."
sox -q "$out/phrase-raw.wav" -r 44100 -c 2 -b 24 "$out/phrase.wav" gain -n -6

# name | settings on top of the factory preset
renders=(
    "factory|"
    "mix-50|--set paramMix=50"
    "limit-off|--set paramGainLimit=0"
    "dark-room|--set paramSpaceReverbType=2 --set paramSpaceReverbAmount=40"
    "tape-echo|--set paramSpaceDelayType=2 --set paramSpaceDelayAmount=35"
    "bypass|--set paramBypass=1"
)

# "Latency:  2268 samples (...)" -> 2268; "Output:   peak -3.10 dBFS, RMS -21.40 dBFS" -> "-3.10 -21.40"
latency_of() { awk '/^Latency:/ { print $2 }' "$1"; }
levels_of() { awk '/^'"$2"':/ { gsub(",", ""); print $3, $6 }' "$1"; }

# Level of the difference between two renders, in dBFS ("-inf" when they are identical).
difference_of() {
    sox -m -v 1 "$1" -v -1 "$2" -n stat 2>&1 |
        awk '/^RMS +amplitude/ { if ($3 > 0) printf "%.2f", 20 * log($3) / log(10); else print "-inf" }'
}

summary="$out/demo-report.txt"
printf '%-11s %9s %11s %11s %12s %18s\n' "render" "latency" "peak dBFS" "RMS dBFS" "RMS change" \
    "difference dBFS" > "$summary"

factory_rms=""
for entry in "${renders[@]}"; do
    name="${entry%%|*}"
    read -r -a settings <<< "${entry#*|}"
    wav="$out/phrase-tessaro.wav"
    [[ "$name" == factory ]] || wav="$out/phrase-tessaro-$name.wav"

    echo
    echo "== $name"
    "$build/tools/tessaro_render" --plugin "$HOME/.vst3/Orvane Tessaro.vst3" \
        --in "$out/phrase.wav" --out "$wav" "${settings[@]}" "$@" | tee "$out/report-$name.txt"

    read -r peak rms <<< "$(levels_of "$out/report-$name.txt" Output)"
    [[ -n "$factory_rms" ]] || factory_rms="$rms"
    change="$(awk -v a="$rms" -v b="$factory_rms" 'BEGIN { printf "%+.2f dB", a - b }')"
    difference="-"
    [[ "$name" == factory ]] || difference="$(difference_of "$wav" "$out/phrase-tessaro.wav")"
    printf '%-11s %9s %11s %11s %12s %18s\n' "$name" "$(latency_of "$out/report-$name.txt")" "$peak" "$rms" \
        "$change" "$difference" >> "$summary"
done

read -r in_peak in_rms <<< "$(levels_of "$out/report-factory.txt" Input)"
echo
echo "What changed against the factory render (input: peak $in_peak dBFS, RMS $in_rms dBFS; latency in"
echo "samples, removed from every file; difference = RMS level of this render minus the factory render):"
cat "$summary"

# A picture of the installed plug-in's editor at its default size, as a host shows it.
echo
bash "$root/tools/with-display.sh" "$build/tools/tessaro_render" --plugin "$HOME/.vst3/Orvane Tessaro.vst3" \
    --editor-png "$out/editor.png"

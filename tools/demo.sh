#!/usr/bin/env bash
# The main job: builds the plug-in, installs it where Linux hosts look (~/.vst3), and
# renders a spoken phrase through the installed bundle as a host would.
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

"$build/tools/tessaro_render" --plugin "$HOME/.vst3/Orvane Tessaro.vst3" \
    --in "$out/phrase.wav" --out "$out/phrase-tessaro.wav" "$@"

# A picture of the installed plug-in's editor at its default size, as a host shows it.
bash "$root/tools/with-display.sh" "$build/tools/tessaro_render" --plugin "$HOME/.vst3/Orvane Tessaro.vst3" \
    --editor-png "$out/editor.png"

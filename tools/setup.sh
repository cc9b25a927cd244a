#!/usr/bin/env bash
# Installs what the build, the tests and the main job need on Debian 12.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    juce-modules-source juce-tools
    libgtest-dev libbenchmark-dev
    libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev libxcomposite-dev
    libfreetype-dev libfontconfig1-dev libasound2-dev
    espeak-ng sox
    xvfb xauth
    fonts-dejavu-core
    lsp-plugins-lv2 calf-plugins dragonfly-reverb-lv2 x42-plugins
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

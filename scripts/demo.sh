#!/usr/bin/env bash
# Runs the program's main job on a virtual X screen (after scripts/setup.sh) and writes the
# resulting desktop to docs/demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target ZorbelPaneglyph demo_desktop >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
    QT_QPA_PLATFORM=offscreen \
    xvfb-run -a -s "-noreset -screen 0 1024x768x24" \
    build/tools/demo_desktop build/ZorbelPaneglyph docs/demo.png

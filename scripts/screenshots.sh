#!/usr/bin/env bash
# Renders every page of the settings window to docs/screenshots/ (headless). Run it after
# scripts/setup.sh, and again whenever the window changes.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target screenshot_pages >/dev/null
mkdir -p docs/screenshots
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
    QT_QPA_PLATFORM=offscreen build/tools/screenshot_pages docs/screenshots

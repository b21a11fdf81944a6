#!/usr/bin/env bash
# Builds the Debian package into dist/ (zorbelpaneglyph_<version>_<arch>.deb, with its debug
# symbols, .buildinfo and .changes), after scripts/setup.sh has installed what it needs.
# DEB_BUILD_OPTIONS is passed on: "nocheck" leaves the tests out (they have run already).
set -euo pipefail
cd "$(dirname "$0")/.."

export ZBPG_PACKAGE_DIR=dist
rm -rf "$ZBPG_PACKAGE_DIR"
mkdir -p "$ZBPG_PACKAGE_DIR"

read -r -a options <<<"${DEB_BUILD_OPTIONS:-}"
profiles=()
if [[ " ${options[*]} " == *" nocheck "* ]]; then
    profiles=(--build-profiles=nocheck) # and no test packages are needed to build
fi
if [[ " ${options[*]} " != *" parallel="* ]]; then
    options+=("parallel=$(nproc)")
fi
export DEB_BUILD_OPTIONS="${options[*]}"

# Where ccache is installed, a package built again compiles only what changed. debhelper gives
# the build a home of its own, so ccache is told where the user's settings and cache are.
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
    if [ -z "${CCACHE_CONFIGPATH:-}" ] && [ -z "${CCACHE_DIR:-}" ]; then
        for config in "${XDG_CONFIG_HOME:-$HOME/.config}/ccache/ccache.conf" \
            "$HOME/.ccache/ccache.conf"; do
            if [ -f "$config" ]; then
                export CCACHE_CONFIGPATH="$config"
                break
            fi
        done
    fi
    CCACHE_DIR="${CCACHE_DIR:-$(ccache --get-config cache_dir)}"
    export CCACHE_DIR
fi

name="zorbelpaneglyph_$(dpkg-parsechangelog -S Version)_$(dpkg-architecture -qDEB_HOST_ARCH)"
dpkg-buildpackage --build=binary --no-sign "${profiles[@]}" \
    --buildinfo-option=-u"$ZBPG_PACKAGE_DIR" --buildinfo-file="$ZBPG_PACKAGE_DIR/$name.buildinfo" \
    --changes-option=-u"$ZBPG_PACKAGE_DIR" --changes-file="$ZBPG_PACKAGE_DIR/$name.changes"
ls "$ZBPG_PACKAGE_DIR"/*.deb

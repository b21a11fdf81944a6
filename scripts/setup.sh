#!/usr/bin/env bash
# Installs everything the project needs on Debian 12 (as root) and builds it in build/.
# Safe to run again: packages already present are not fetched, the build is incremental.
set -euo pipefail

cd "$(dirname "$0")/.."

packages=(
    cmake g++ ninja-build pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n qt6-wayland
    libjpeg62-turbo-dev libx11-dev libxrandr-dev libxext-dev zlib1g-dev
    libgtest-dev libgmock-dev
    xvfb xauth x11-utils x11-xserver-utils hsetroot iproute2
    libglib2.0-dev libglib2.0-bin dbus-daemon dbus-bin
    gsettings-desktop-schemas cinnamon-desktop-data mate-desktop-common xfconf libxfconf-0-3
    dconf-gsettings-backend sway pcmanfm-qt openbox
    fonts-ipafont-gothic fonts-ipafont-mincho
    librsvg2-bin desktop-file-utils appstream man-db
    debhelper lintian
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup.sh: these packages are missing; run as root to install them: ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZBPG_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build -- -j"$(nproc)"

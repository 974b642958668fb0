#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Orvane needs.
# Idempotent and quiet: asks apt only for packages that are missing, and refreshes the
# package lists only then. Works as root or through sudo.
set -euo pipefail

packages=(
    # toolchain
    build-essential cmake ninja-build ccache pkg-config clang lld libclang-rt-14-dev clang-format
    # Qt 5.15
    qtbase5-dev qtbase5-dev-tools qtwebengine5-dev libqt5webchannel5-dev libqt5websockets5-dev
    libqt5svg5-dev qttools5-dev qttools5-dev-tools
    # XML
    libpugixml-dev
    # media
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libgstrtspserver-1.0-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
    gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-x gstreamer1.0-alsa gstreamer1.0-tools
    # reference platform
    libcpp-httplib-dev libssl-dev openssl libqrencode-dev
    # test display and fonts
    xvfb xauth fonts-dejavu-core
    # crash-report symbolisation
    binutils
    # Debian packages: shlibs, checks of the package, its desktop entry and metadata, man pages
    dpkg-dev lintian desktop-file-utils appstream man-db
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
    sudo=()
else
    sudo=(sudo)
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

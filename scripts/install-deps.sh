#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need;
# with --fuzz also clang and libFuzzer for the fuzz targets, with --deb the
# Debian tools that build and check the package, with --bench what the
# benchmarks against real sound servers need: GStreamer to play the same
# sounds as a yardstick (the private PipeWire is unpacked by
# bench/private-pipewire.sh, not installed).
# Does nothing when every package is already present; uses sudo when not root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsdl2-dev libpulse-dev libsndfile1-dev libsoxr-dev libstk-dev libebur128-dev libgif-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation
    xvfb xauth sox lame
    pulseaudio pulseaudio-utils bc dbus-daemon
    desktop-file-utils appstream shared-mime-info
    cmark-gfm groff-base
)
for option in "$@"; do
    case "$option" in
    --fuzz) packages+=(clang-14 libfuzzer-14-dev) ;;
    --deb) packages+=(dpkg-dev debhelper lintian) ;;
    --bench) packages+=(gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good) ;;
    *) echo "install-deps: unknown option $option" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

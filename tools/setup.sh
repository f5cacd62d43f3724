#!/usr/bin/env bash
# Installs the Debian 12 packages Velmora needs to build, run and test, when any is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libgl-dev libpng-dev
    fonts-liberation
    xvfb xauth imagemagick xdotool
    desktop-file-utils appstream help2man dpkg-dev
    time util-linux parallel strace
    ffmpeg
    pybind11-dev python3-dev python3-numpy python3-pytest python3-venv python3-setuptools
    python3-pip python3-xarray python3-zarr python3-matplotlib mypy
)

# One query for all of them: start.sh runs this before every start.
# dpkg-query fails when any of them is unknown to it, that is, missing.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
    awk '$NF == "installed" {print $1}' || true)
missing=()
for p in "${packages[@]}"; do
    grep -qx "$p" <<<"$installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

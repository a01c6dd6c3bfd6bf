#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
set -euo pipefail
PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libjpeg62-turbo-dev libudev-dev
    fonts-liberation2 fonts-wine fonts-dejavu-core
    emf2svg xvfb xauth
    cups printer-driver-cups-pdf poppler-utils
    clang libclang-rt-14-dev
)
missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    SUDO=""
    if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update
    $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

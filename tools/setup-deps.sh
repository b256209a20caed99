#!/usr/bin/env bash
# Installs the Debian packages the suite needs to build, run and be tested.
# Idempotent: only missing packages are installed, and the package lists are
# refreshed at most once per run.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  lame libmpg123-dev libsndfile1-dev libasound2-dev
  libgif-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  pulseaudio pulseaudio-utils alsa-utils libasound2-plugins
  xvfb xdotool x11-utils imagemagick trayer openbox
  espeak-ng sox libfaketime
  clang libclang-rt-14-dev
  fonts-dejavu-core locales file
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

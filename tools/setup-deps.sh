#!/usr/bin/env bash
# Installs the Debian packages the suite needs to build, run and be tested.
# Idempotent: only missing packages are installed, and the package lists are
# refreshed at most once per run.
#
#   setup-deps.sh          what the suite needs to build and run
#   setup-deps.sh --test   also what the tests need (a second sound server)
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  lame libmpg123-dev libsndfile1-dev libasound2-dev
  libgif-dev libtag1-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  pulseaudio pulseaudio-utils alsa-utils libasound2-plugins
  xvfb xdotool x11-utils imagemagick trayer openbox
  espeak-ng sox libfaketime
  clang libclang-rt-14-dev clang-format-14
  fonts-dejavu-core locales file
  libxcb1-dev strace
  qt6-translations-l10n qt6-wayland
)

# The tests run the sound system tests against PipeWire as well. Only its
# PulseAudio-compatible server is used (not pipewire-alsa, which conflicts
# with pulseaudio and turns every ALSA program over to PipeWire).
# The command line's calendar export is checked by a strict iCalendar reader.
if [ "${1:-}" = --test ]; then
  PACKAGES+=(pipewire wireplumber pipewire-pulse dbus-daemon dunst python3-icalendar)
  # The checks of the installed launcher and software-centre listing.
  PACKAGES+=(desktop-file-utils appstream)
  # The busy-machine run's load, and backtraces of a service that dies.
  PACKAGES+=(stress-ng gdb)
  # The watcher's ticks and the alarms it starts, seen as file events.
  PACKAGES+=(inotify-tools)
  # A StatusNotifier tray host (the panel's tray plug-in) for the watcher's icon.
  PACKAGES+=(xfce4-panel)
  # A screen reader's view of the window: the accessibility bus and its client.
  PACKAGES+=(at-spi2-core python3-pyatspi)
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in "${PACKAGES[@]}"; do
  if ! installed "$p"; then
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
had_pulseaudio=$(installed pulseaudio && echo yes || true)
had_pipewire_pulse=$(installed pipewire-pulse && echo yes || true)
# --no-remove: on a PipeWire desktop with pipewire-alsa, pulseaudio would
# push that package out; better to stop and say so than to change the
# user's sound set-up behind their back.
if ! $SUDO apt-get install -y -qq --no-install-recommends --no-remove "${missing[@]}"; then
  echo "Could not install ${missing[*]} without removing installed packages" \
    "(pipewire-alsa and pulseaudio exclude each other on Debian 12)." >&2
  echo "Install them by hand, choosing what to keep, and run this again." >&2
  exit 1
fi

# Both servers' packages enable a login service for every user that takes the
# PulseAudio socket. Whichever this script brought in must not replace the
# sound server the users had: its login service is turned off again (the
# tests start their own private servers and need none).
keep_off() {
  echo "Not starting $* at login: the tests start their own private sound server."
  if command -v deb-systemd-helper >/dev/null 2>&1; then
    $SUDO deb-systemd-helper --user disable "$@" >/dev/null 2>&1 || true
  else
    $SUDO systemctl --global disable "$@" >/dev/null 2>&1 || true
  fi
}
if [ -z "$had_pipewire_pulse" ] && installed pipewire-pulse; then
  # A machine that had neither keeps PulseAudio, the server the suite's
  # set-up was written for.
  if [ -n "$had_pulseaudio" ] || installed pulseaudio; then
    keep_off pipewire-pulse.socket pipewire-pulse.service
  fi
elif [ -z "$had_pulseaudio" ] && installed pulseaudio && [ -n "$had_pipewire_pulse" ]; then
  keep_off pulseaudio.socket pulseaudio.service
fi

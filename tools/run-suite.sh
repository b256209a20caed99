#!/usr/bin/env bash
# Builds the suite, installs it into its program folder and starts Quillmur.
# Without a display, it starts a private X server (and sound server when none
# answers), starts the suite there and saves a screenshot to show it works.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUILL_BUILD:-$root/build}"
prefix="${QUILL_PREFIX:-$HOME/.local/share/Quillmur}"

"$root/tools/setup-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$build" -j"$(nproc)"
cmake --install "$build"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    (cd "$prefix" && setsid "$prefix/Quillmur" >/dev/null 2>&1 &)
    echo "Quillmur started from $prefix"
    exit 0
fi

# No display: show it on a private one and take a picture of the screen.
n=99
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
export DISPLAY=":$n"
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
if ! pactl info >/dev/null 2>&1; then
    export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
    pulseaudio --start --exit-idle-time=-1 --system=false \
        -L "module-null-sink sink_name=speakers" >/dev/null 2>&1 || true
fi
(cd "$prefix" && setsid "$prefix/Quillmur" >/dev/null 2>&1 &)
for _ in $(seq 1 100); do xdotool search --name '^Quillmur$' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
shot="$root/quillmur-screenshot.png"
import -window root "$shot"
echo "No display here: Quillmur runs on the private display $DISPLAY."
echo "Screenshot of the screen after start-up: $shot"

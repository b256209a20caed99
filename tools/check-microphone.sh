#!/usr/bin/env bash
# Checks that the suite can hear the microphone: records a few seconds from
# the same ALSA "default" device, in the same format (16-bit mono 22050 Hz),
# and says how loud it was and which sound server answered.
#
#   tools/check-microphone.sh [SECONDS]      (speak while it records)
#
# Exit status: 0 heard something, 1 only silence, 2 no recording at all.
set -uo pipefail
secs="${1:-3}"

server=$(pactl info 2>/dev/null | sed -n 's/^Server Name: //p')
source_name=$(pactl info 2>/dev/null | sed -n 's/^Default Source: //p')
echo "Sound server:   ${server:-none answers (is PulseAudio or PipeWire running?)}"
echo "Default source: ${source_name:-unknown}"
if [ -n "$source_name" ] && [ "$(pactl get-source-mute "$source_name" 2>/dev/null | awk '{print $2}')" = yes ]; then
    echo "The default source is muted."
fi

raw=$(mktemp)
trap 'rm -f "$raw"' EXIT
echo "Recording $secs s from the default device: speak now."
if ! arecord -q -D default -f S16_LE -r 22050 -c 1 -d "$secs" -t raw "$raw" 2>/dev/null || [ ! -s "$raw" ]; then
    echo "No sound was recorded: the default capture device is not available."
    exit 2
fi
peak=$(sox -t raw -r 22050 -e signed -b 16 -c 1 "$raw" -n stat 2>&1 | awk '/^Maximum amplitude/ {print $3}')
echo "Loudest sample: $peak (1.0 is full scale)"
if awk -v p="$peak" 'BEGIN { exit !(p > 0.02) }'; then
    echo "The microphone is heard."
    exit 0
fi
echo "Only silence: check the microphone's level and mute in the sound settings."
exit 1

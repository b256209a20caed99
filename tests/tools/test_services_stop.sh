#!/usr/bin/env bash
# The test command's services are stopped by an EXIT trap in a strict script:
# stopping must keep the run's own exit status, even when a service it stops
# has already gone (the microphone's player leaves with its server).
#   test_services_stop.sh SOURCE_DIR
set -uo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }

for want in 0 3; do
    got=$(
        bash -c '
            set -euo pipefail
            source "$1/tools/test-services.sh"
            XDG_RUNTIME_DIR=$(mktemp -d)
            QUILL_SERVICES_DIR=$XDG_RUNTIME_DIR
            sleep 0 & gone=$!
            wait "$gone"
            QUILL_SOUND_PIDS=("$gone")
            QUILL_MIC_PID=$gone QUILL_WM_PID=$gone QUILL_XVFB_PID=$gone
            trap quill_services_stop EXIT
            exit "$2"' _ "$1" "$want" >/dev/null 2>&1
        echo $?
    )
    [ "$got" = "$want" ] || fail "a run ending with $want reported $got once its services were stopped"
done
echo "services stop: ok"

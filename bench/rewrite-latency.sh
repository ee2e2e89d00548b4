#!/usr/bin/env bash
# A change -> its sound at the null sink's monitor, on each private server:
# the probe tone over the 15 backgrounds, the same with the 40 random sounds
# firing, and the master volume to silence and back.
#
#   bench/rewrite-latency.sh REWRITE_LATENCY [ARGS...]
#
# REWRITE_LATENCY is the built rewrite-latency; ARGS go to every run (for
# example --output sdl). SERVERS="pulseaudio pipewire" and CHANGES=20 by
# default. Goal: every change heard within 60 ms.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=${1:?usage: rewrite-latency.sh REWRITE_LATENCY [ARGS...]}
shift
status=0
for server in ${SERVERS:-pulseaudio pipewire}; do
    for variant in "" "--randoms" "--change master"; do
        echo
        echo "== $server${variant:+ $variant}"
        # shellcheck disable=SC2086 # the variant's words
        "$here/with-private-server.sh" "$server" "$program" --changes "${CHANGES:-20}" $variant "$@" ||
            status=1
    done
done
exit "$status"

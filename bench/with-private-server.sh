#!/usr/bin/env bash
# Runs a command against a private sound server started for it, then stops
# the server: the command sees PULSE_SERVER, PULSE_SINK, PULSE_SOURCE (the
# null sink's monitor) and the rest of what the start script prints.
#
#   bench/with-private-server.sh pulseaudio|pipewire COMMAND [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
kind=${1:?usage: with-private-server.sh pulseaudio|pipewire COMMAND [ARGS...]}
shift
[ $# -gt 0 ] || { echo "usage: with-private-server.sh pulseaudio|pipewire COMMAND [ARGS...]" >&2; exit 2; }
case "$kind" in
pulseaudio) script=$here/../scripts/private-pulseaudio.sh ;;
pipewire) script=$here/private-pipewire.sh ;;
*) echo "with-private-server: no server \"$kind\" (pulseaudio or pipewire)" >&2; exit 2 ;;
esac
dir=$(mktemp -d)
trap '"$script" stop "$dir"; rm -rf "$dir"' EXIT
"$script" start "$dir" bench >/dev/null
set -a
. "$dir/env"
set +a
status=0
"$@" || status=$?
exit "$status"

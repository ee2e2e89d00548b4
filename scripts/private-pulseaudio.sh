#!/usr/bin/env bash
# A private PulseAudio server for tests and benchmarks: one null sink (48 kHz
# stereo, timer-driven like a sound card), the native protocol on a socket of
# its own, no config of the user's read, nothing of the desktop's touched.
#
#   scripts/private-pulseaudio.sh start DIR [SINK]   (SINK defaults to "bench")
#   scripts/private-pulseaudio.sh stop DIR
#
# `start` returns once the server answers and prints what a client needs, one
# NAME=value a line (also in DIR/env as `export` lines, for `source`):
#   PULSE_SERVER   the server's socket
#   PULSE_COOKIE   the cookie clients send (the socket accepts any)
#   PULSE_SINK     the null sink: where playback goes by default
#   PULSE_SOURCE   its monitor (SINK.monitor): what capture records by default
# DIR/pids lists the server process. `stop` ends it (and only it).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/private-server-lib.sh"

usage() {
    echo "usage: private-pulseaudio.sh start DIR [SINK] | stop DIR" >&2
    exit 2
}

start() {
    local dir sink=${2:-bench}
    dir=$(private_server_prepare "$1")
    command -v pulseaudio >/dev/null || { echo "private-pulseaudio: pulseaudio is not installed" >&2; return 1; }
    command -v pactl >/dev/null || { echo "private-pulseaudio: pactl is not installed (pulseaudio-utils)" >&2; return 1; }
    local socket="$dir/run/pulse/native"
    mkdir -p "$dir/run/pulse" "$dir/home/.config"
    head -c 256 /dev/urandom >"$dir/cookie"
    # -n: no default script, so no hardware, no desktop modules; the two
    # modules below are the whole server.
    env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u PULSE_SERVER \
        HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_RUNTIME_DIR="$dir/run" \
        setsid pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 \
        --disallow-exit --log-target=file:"$dir/pulseaudio.log" \
        -L "module-null-sink sink_name=$sink rate=48000 channels=2" \
        -L "module-native-protocol-unix socket=$socket auth-anonymous=1 cookie=$dir/cookie" \
        </dev/null >"$dir/pulseaudio.out.log" 2>&1 &
    private_server_record "$dir" pulseaudio "$!"
    private_server_write_env "$dir" "PULSE_SERVER=unix:$socket" "PULSE_COOKIE=$dir/cookie" \
        "PULSE_SINK=$sink" "PULSE_SOURCE=$sink.monitor" >"$dir/env.txt"
    if ! private_server_wait "$dir" "$sink"; then
        private_server_fail "$dir" "PulseAudio did not answer on $socket"
        return 1
    fi
    cat "$dir/env.txt"
}

case "${1:-}" in
start) [ $# -ge 2 ] || usage; start "$2" "${3:-}" ;;
stop) [ $# -eq 2 ] || usage; private_server_stop "$(cd "$2" && pwd)" ;;
*) usage ;;
esac

#!/usr/bin/env bash
# A private PipeWire for benchmarks: the pipewire daemon with one null sink
# (48 kHz stereo, clocked by PipeWire's own timer driver), WirePlumber with
# every hardware monitor off, and pipewire-pulse, the PulseAudio service the
# program talks to - all on sockets of their own, on a private session bus.
#
#   bench/private-pipewire.sh start DIR [SINK]   (SINK defaults to "bench")
#   bench/private-pipewire.sh stop DIR
#   bench/private-pipewire.sh unpack             (only fetch and unpack)
#
# The daemons come from Debian's packages, unpacked (apt-get download, dpkg
# -x) into PIPEWIRE_ROOT (default: build-bench/pipewire-root of this tree),
# not installed: installing them enables PipeWire's user services for every
# login, which would take a desktop's sound away from its PulseAudio.
#
# `start` returns once pipewire-pulse answers and the sink exists, and prints
# what a client needs, one NAME=value a line (also DIR/env, sourceable):
# PULSE_SERVER, PULSE_COOKIE, PULSE_SINK, PULSE_SOURCE (SINK.monitor), and
# PIPEWIRE_RUNTIME_DIR for native PipeWire clients. DIR/pids lists the
# processes (dbus-daemon, pipewire, wireplumber, pipewire-pulse); DIR/tools.env
# sets the paths the unpacked tools (pw-top, pw-cli, wpctl) need.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../scripts/private-server-lib.sh"
root=$(realpath -m "${PIPEWIRE_ROOT:-$here/../build-bench/pipewire-root}")

usage() {
    echo "usage: private-pipewire.sh start DIR [SINK] | stop DIR | unpack" >&2
    exit 2
}

# The daemons and the PipeWire libraries they need that the system lacks.
packages() {
    apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
        --no-replaces --no-enhances pipewire-bin wireplumber pipewire-pulse 2>/dev/null |
        grep -E '^(pipewire|libpipewire|libspa|libwireplumber|wireplumber|liblua)' | sort -u
}

unpack() {
    [ -x "$root/usr/bin/pipewire" ] && [ -x "$root/usr/bin/wireplumber" ] && return 0
    command -v apt-get >/dev/null || { echo "private-pipewire: needs apt-get (Debian)" >&2; return 1; }
    local list
    list=$(packages)
    if [ -z "$list" ] || ! grep -qx pipewire-bin <<<"$list"; then
        echo "private-pipewire: apt knows no pipewire-bin; run 'apt-get update' first" >&2
        return 1
    fi
    local debs
    debs=$(mktemp -d)
    echo "private-pipewire: fetching" $list >&2
    # shellcheck disable=SC2086 # one package name a word
    (cd "$debs" && apt-get download -q $list >"$debs/download.log" 2>&1) || {
        cat "$debs/download.log" >&2
        rm -rf "$debs"
        return 1
    }
    rm -rf "$root"
    mkdir -p "$root"
    for deb in "$debs"/*.deb; do dpkg -x "$deb" "$root"; done
    (cd "$debs" && ls ./*.deb) >"$root/packages.txt"
    rm -rf "$debs"
    echo "private-pipewire: unpacked into $root" >&2
}

# The paths under which the unpacked daemons find their libraries, plugins
# and configuration; `conf` is the folder with this run's configuration.
daemon_env() {
    local conf=$1 lib
    lib=$(echo "$root"/usr/lib/*-linux-gnu)
    echo "LD_LIBRARY_PATH=$lib"
    echo "SPA_PLUGIN_DIR=$lib/spa-0.2"
    echo "SPA_DATA_DIR=$root/usr/share/spa-0.2"
    echo "PIPEWIRE_MODULE_DIR=$lib/pipewire-0.3"
    echo "PIPEWIRE_CONFIG_DIR=$conf/pipewire"
    echo "WIREPLUMBER_MODULE_DIR=$(echo "$lib"/wireplumber-*)"
    echo "WIREPLUMBER_CONFIG_DIR=$conf/wireplumber"
    echo "WIREPLUMBER_DATA_DIR=$root/usr/share/wireplumber"
    echo "PATH=$root/usr/bin:$PATH"
}

# This run's configuration: Debian's files, plus the null sink for the
# daemon, and WirePlumber without its ALSA, camera and Bluetooth monitors
# (a private server must never open the machine's sound cards).
configure() {
    local conf=$1 sink=$2 file
    mkdir -p "$conf/pipewire/pipewire.conf.d" "$conf/wireplumber"
    for file in "$root"/usr/share/pipewire/*.conf; do ln -sf "$file" "$conf/pipewire/"; done
    cat >"$conf/pipewire/pipewire.conf.d/50-null-sink.conf" <<EOF
context.objects = [
    { factory = adapter
        args = {
            factory.name     = support.null-audio-sink
            node.name        = "$sink"
            node.description = "Null sink"
            media.class      = Audio/Sink
            audio.rate       = 48000
            audio.channels   = 2
            audio.position   = [ FL FR ]
            object.linger    = true
            monitor.channel-volumes = true
        }
    }
]
EOF
    cp -r "$root"/usr/share/wireplumber/. "$conf/wireplumber/"
    chmod -R u+w "$conf/wireplumber"
    # Lua fragments run in name order: after the 50-*-config defaults, before
    # 90-enable-all starts the monitors.
    cat >"$conf/wireplumber/main.lua.d/60-private-server.lua" <<'EOF'
alsa_monitor.enabled = false
v4l2_monitor.enabled = false
libcamera_monitor.enabled = false
EOF
    cat >"$conf/wireplumber/bluetooth.lua.d/60-private-server.lua" <<'EOF'
bluez_monitor.enabled = false
EOF
}

# Starts `name` (a program of the unpacked tree) with the daemons' paths and
# records its pid.
launch() {
    local dir=$1 name=$2
    shift 2
    (
        set -a
        . "$dir/daemon.env"
        set +a
        exec setsid "$@" </dev/null >"$dir/$name.log" 2>&1
    ) &
    private_server_record "$dir" "$name" "$!"
}

# Waits up to 10 s for a socket to appear.
wait_socket() {
    for _ in $(seq 100); do
        [ -S "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

start() {
    local dir sink=${2:-bench}
    dir=$(private_server_prepare "$1")
    command -v pactl >/dev/null || { echo "private-pipewire: pactl is not installed (pulseaudio-utils)" >&2; return 1; }
    command -v dbus-daemon >/dev/null || { echo "private-pipewire: dbus-daemon is not installed" >&2; return 1; }
    unpack
    rm -rf "$dir/conf"
    configure "$dir/conf" "$sink"
    {
        daemon_env "$dir/conf"
        echo "HOME=$dir/home"
        echo "XDG_CONFIG_HOME=$dir/home/.config"
        echo "XDG_STATE_HOME=$dir/home/.local/state"
        echo "XDG_RUNTIME_DIR=$dir/run"
        echo "DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/run/bus"
    } | while IFS= read -r pair; do printf '%s=%q\n' "${pair%%=*}" "${pair#*=}"; done >"$dir/daemon.env"
    # WirePlumber and the daemons' portal and realtime modules look for a
    # session bus; a private one keeps them off the desktop's.
    env -u DISPLAY -u WAYLAND_DISPLAY setsid dbus-daemon --session --nofork --nopidfile \
        --address="unix:path=$dir/run/bus" </dev/null >"$dir/dbus.log" 2>&1 &
    private_server_record "$dir" dbus-daemon "$!"
    wait_socket "$dir/run/bus" || { private_server_fail "$dir" "the session bus did not start"; return 1; }
    launch "$dir" pipewire env -u DISPLAY -u WAYLAND_DISPLAY pipewire
    wait_socket "$dir/run/pipewire-0" || { private_server_fail "$dir" "pipewire did not start"; return 1; }
    launch "$dir" wireplumber env -u DISPLAY -u WAYLAND_DISPLAY wireplumber
    launch "$dir" pipewire-pulse env -u DISPLAY -u WAYLAND_DISPLAY pipewire-pulse
    head -c 256 /dev/urandom >"$dir/cookie"
    private_server_write_env "$dir" "PULSE_SERVER=unix:$dir/run/pulse/native" \
        "PULSE_COOKIE=$dir/cookie" "PULSE_SINK=$sink" "PULSE_SOURCE=$sink.monitor" \
        "PIPEWIRE_RUNTIME_DIR=$dir/run" >"$dir/env.txt"
    {
        grep -v '^PIPEWIRE_CONFIG_DIR=\|^WIREPLUMBER_CONFIG_DIR=' "$dir/daemon.env" | sed 's/^/export /'
        echo "export PIPEWIRE_CONFIG_DIR=$dir/conf/pipewire"
        cat "$dir/env"
    } >"$dir/tools.env"
    if ! private_server_wait "$dir" "$sink"; then
        private_server_fail "$dir" "pipewire-pulse did not answer with the sink $sink"
        return 1
    fi
    # WirePlumber makes the only sink the default; say so explicitly all
    # the same, for clients that ignore PULSE_SINK.
    (. "$dir/env" && pactl set-default-sink "$sink")
    cat "$dir/env.txt"
}

case "${1:-}" in
start) [ $# -ge 2 ] || usage; start "$2" "${3:-}" ;;
stop) [ $# -eq 2 ] || usage; private_server_stop "$(cd "$2" && pwd)" ;;
unpack) unpack ;;
*) usage ;;
esac

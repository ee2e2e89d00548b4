#!/usr/bin/env bash
# Per-thread CPU use and wake-ups of the running console with all 15
# background boxes ticked: once on SDL's disk driver, once through a private
# PulseAudio server with a null sink (skipped when pulseaudio is missing).
#
#   bench/console-cpu.sh PROGRAM [SECONDS]
#
# PROGRAM is the built program (its folder holds every generated sound). The
# folder is copied to a temporary directory so no real settings are touched.
# Goals: the whole program <= 0.25 % of one core; the UI (main) thread
# <= 5 wake-ups/s and <= 0.05 %.
#
# BACKENDS="disk" or "pulseaudio" measures only that one (default: both).
# With PERF_DIR set, `perf record -g` samples the program during each
# measurement into PERF_DIR/<back end>.data (the figures then include perf's
# own sampling cost); read them with
#   perf report -i PERF_DIR/disk.data --no-children --sort dso,sym -g none
set -euo pipefail

program=${1:?usage: console-cpu.sh PROGRAM [SECONDS]}
seconds=${2:-20}
settle=${SETTLE_SECONDS:-6}
program=$(readlink -f "$program")
[ -x "$program" ] || { echo "console-cpu: $program is not a program" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    if [ -n "${pa_pid:-}" ]; then kill "$pa_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

cp -a "$(dirname "$program")" "$work/program"
# 60 fields: two colours, bank 1 off (2000), three volumes at 0 dB, the 15
# boxes ticked, bank 2 off.
{
    printf '%s' "-2147483633,-2147483630"
    for _ in $(seq 20); do printf ',2000'; done
    printf ',0,0,0'
    for _ in $(seq 15); do printf ',1'; done
    for _ in $(seq 20); do printf ',2000'; done
    printf '\r\n'
} >"$work/program/settings.ini"

# One snapshot per thread: tid, ns on the CPU (schedstat; clock ticks from
# stat when schedstat is missing), context switches, name.
snapshot() {
    local pid=$1 tid ns ticks vol nvol name
    for task in /proc/"$pid"/task/*; do
        tid=${task##*/}
        name=$(cat "$task/comm" 2>/dev/null) || continue
        ticks=$(sed 's/.*) //' "$task/stat" 2>/dev/null | awk '{print $12 + $13}') || continue
        if [ -r "$task/schedstat" ]; then
            ns=$(awk '{print $1}' "$task/schedstat")
        else
            ns=-1
        fi
        vol=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status")
        nvol=$(awk '/^nonvoluntary_ctxt_switches/ {print $2}' "$task/status")
        echo "$tid $ns $ticks $vol $nvol ${name// /_}"
    done
}

measure() {
    local label=$1
    shift
    echo
    echo "== $label: ${seconds} s after ${settle} s of start-up"
    (cd "$work/program" && env "$@" QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" \
        XDG_DATA_HOME="$work/data" "$work/program/$(basename "$program")" >"$work/$label.log" 2>&1) &
    local shell=$!
    pids+=("$shell")
    sleep 1
    local pid
    pid=$(pgrep -P "$shell" -x "$(basename "$program" | cut -c1-15)" || true)
    [ -n "$pid" ] || { echo "console-cpu: the program did not start:"; cat "$work/$label.log"; return 1; }
    pids+=("$pid")
    sleep "$((settle - 1))"
    local perf_pid=
    if [ -n "${PERF_DIR:-}" ]; then
        mkdir -p "$PERF_DIR"
        perf record -q -g -F "${PERF_FREQ:-2000}" -p "$pid" -o "$PERF_DIR/$label.data" \
            >"$work/perf-$label.log" 2>&1 &
        perf_pid=$!
        sleep 0.5
    fi
    snapshot "$pid" >"$work/before"
    local t0 t1
    t0=$(date +%s.%N)
    sleep "$seconds"
    snapshot "$pid" >"$work/after"
    t1=$(date +%s.%N)
    # What the sound server says sits between the device and the speakers.
    if [ "$label" = pulseaudio ] && command -v pactl >/dev/null; then
        env "$@" pactl list sink-inputs 2>/dev/null | awk '/Latency:/ { printf "  server %s\n", $0 }' \
            | sed 's/\t/ /g' >"$work/latency"
    fi
    if [ -n "$perf_pid" ]; then
        kill -INT "$perf_pid" 2>/dev/null || true
        wait "$perf_pid" 2>/dev/null || true
    fi
    kill "$pid" 2>/dev/null || true
    wait "$shell" 2>/dev/null || true
    awk -v dt="$(echo "$t1 - $t0" | bc -l)" -v hz="$(getconf CLK_TCK)" -v main="$pid" '
        NR == FNR { ns[$1] = $2; ticks[$1] = $3; vol[$1] = $4; nvol[$1] = $5; next }
        ($1 in ns) {
            cpu = ($2 >= 0 && ns[$1] >= 0) ? ($2 - ns[$1]) / 1e9 : ($3 - ticks[$1]) / hz
            pct = 100 * cpu / dt; v = ($4 - vol[$1]) / dt; n = ($5 - nvol[$1]) / dt
            name = ($1 == main) ? $6 " (main)" : $6
            printf "  %-28s %8.3f %%  %8.1f wake-ups/s  (%.1f preempted)\n", name, pct, v + n, n
            tp += pct; tw += v + n; tn += n; tt += $3 - ticks[$1]
        }
        END {
            printf "  %-28s %8.3f %%  %8.1f wake-ups/s  (%.1f preempted; %.3f %% by clock ticks)\n", "total", tp, tw, tn, 100 * tt / hz / dt
        }' "$work/before" "$work/after"
    if [ -s "$work/latency" ]; then cat "$work/latency"; rm -f "$work/latency"; fi
}

backends=${BACKENDS:-disk pulseaudio}

if [[ " $backends " == *" disk "* ]]; then
    measure disk SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/disk.raw"
fi

if [[ " $backends " != *" pulseaudio "* ]]; then
    :
elif command -v pulseaudio >/dev/null; then
    runtime="$work/pulse-run"
    mkdir -p "$runtime"
    chmod 700 "$runtime"
    HOME="$work" XDG_RUNTIME_DIR="$runtime" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
        --disallow-exit --log-target=file:"$work/pulse.log" \
        -L "module-null-sink sink_name=bench" -L "module-native-protocol-unix" &
    pa_pid=$!
    for _ in $(seq 50); do
        [ -S "$runtime/pulse/native" ] && break
        sleep 0.1
    done
    measure pulseaudio SDL_AUDIODRIVER=pulseaudio XDG_RUNTIME_DIR="$runtime" HOME="$work"
else
    echo
    echo "== pulseaudio: skipped (pulseaudio is not installed)"
fi

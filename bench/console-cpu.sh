#!/usr/bin/env bash
# What the running console costs while it plays its 15 backgrounds: CPU and
# wake-ups per thread of the program, and of the sound server's own
# processes in the same window, against a yardstick that plays the same 15
# files: a GStreamer pipeline (audiomixer into pulsesink) on the same server.
#
#   bench/console-cpu.sh PROGRAM [SECONDS]
#
# PROGRAM is the built program (its folder holds every generated sound); the
# folder is copied to a temporary directory so no real settings are touched.
# Each window is SECONDS (20) long and starts SETTLE_SECONDS (70) after the
# client started: the console then plays as through the night, nobody at it.
# (While someone is at it - from the start, or a touch, until a whole 30 s
# check finds none: 30-60 s - it keeps PipeWire's graph in small blocks so a
# click is heard at once; SETTLE_SECONDS=6 measures that.)
# Runs, each REPEATS (3) times:
#   disk          SDL's disk driver, no server (SDL_AUDIODRIVER=disk)
# and on each private server (SERVERS="pulseaudio pipewire"; each started
# here by scripts/private-pulseaudio.sh or bench/private-pipewire.sh):
#   program       SDL_AUDIODRIVER unset: the output the program picks itself
#   program-sdl   SDL_AUDIODRIVER=pulseaudio: SDL's PulseAudio back end, forced
#   peer          gst-launch-1.0: the same 15 files mixed into pulsesink
# RUNS narrows that list (for example RUNS="program peer").
#
# Goals (medians over the repeats, per server):
#   program <= 0.15 % of one core; peer / program >= 20x;
#   (peer + server) / (program + server) >= 3x, the server's processes
#   (pulseaudio; pipewire, wireplumber, pipewire-pulse) counted in the same
#   window as each side;
#   disk: the whole program <= 0.25 %, its UI (main) thread <= 5 wake-ups/s
#   and <= 0.05 %.
# CPU figures near 0.1 % mean something only on a quiet machine: the load
# average is printed beside every window.
#
# With IDLE_POLL=1 (root only) the processors are held out of their halt
# state for the whole run (a request of 0 us on /dev/cpu_dma_latency, given
# back when the script ends). On a virtual machine a halted virtual processor
# comes back on the host with cold caches, and every wake-up then costs
# several times more: for a program that wakes a few times a second that
# says more about the host than about the program. Both ways are worth a run;
# the header says which one this is.
#
# With PERF_DIR set, `perf record -g` samples the program during each
# measurement into PERF_DIR/<server>-<run>-<repeat>.data (the figures then
# include perf's own sampling cost); read them with
#   perf report -i FILE --no-children --sort dso,sym -g none
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=${1:?usage: console-cpu.sh PROGRAM [SECONDS]}
seconds=${2:-20}
settle=${SETTLE_SECONDS:-70}
repeats=${REPEATS:-3}
servers=${SERVERS:-pulseaudio pipewire}
runs=${RUNS:-disk program program-sdl peer}
program=$(readlink -f "$program")
[ -x "$program" ] || { echo "console-cpu: $program is not a program" >&2; exit 1; }

work=$(mktemp -d)
client=
server_dir=
cleanup() {
    if [ -n "$client" ]; then kill "$client" 2>/dev/null || true; fi
    if [ -n "$server_dir" ]; then stop_server; fi
    rm -rf "$work"
}
trap cleanup EXIT

cp -a "$(dirname "$program")" "$work/program"
# The program finds its sounds and settings beside itself: the copy runs.
program=$work/program/$(basename "$program")
# 60 fields: two colours, bank 1 off (2000), three volumes at 0 dB, the 15
# boxes ticked, bank 2 off.
write_settings() {
    {
        printf '%s' "-2147483633,-2147483630"
        for _ in $(seq 20); do printf ',2000'; done
        printf ',0,0,0'
        for _ in $(seq 15); do printf ',1'; done
        for _ in $(seq 20); do printf ',2000'; done
        printf '\r\n'
    } >"$work/program/settings.ini"
    # No start-up information window: the saved mix plays only once it is
    # closed.
    mkdir -p "$work/config/sylvaro-lite"
    printf '[Options]\nShow Tips at Startup=0\n' >"$work/config/sylvaro-lite/sylvaro-lite.conf"
}

# What the server's default sink plays, over one second (RMS in dB of the
# louder channel): the client under measure must be heard.
monitor_level() {
    [ ${#server_env[@]} -gt 0 ] || return 0
    timeout 5 env "${server_env[@]}" parec --raw -d @DEFAULT_MONITOR@ --format=s16le \
        --rate=48000 --channels=2 2>/dev/null | head -c 192000 |
        sox -t raw -r 48000 -e signed -b 16 -c 2 - -n stats 2>&1 |
        awk '/RMS lev dB/ { print ($4 > $5 ? $4 : $5) }'
}

# The yardstick's sources: the catalogue's 15 background files, each
# repeated (sox) to outlast a window: gst-launch cannot loop a file.
peer_files() {
    local catalogue=$here/../src/console/Catalogue.cpp files file copies
    files=$(grep 'K::Background' "$catalogue" | sed -n 's/.*"\([^"]*\.wav\)".*/\1/p' | sort -u)
    if [ "$(wc -w <<<"$files")" -ne 15 ]; then
        echo "console-cpu: expected 15 background files in $catalogue, found: $files" >&2
        return 1
    fi
    mkdir -p "$work/peer"
    for file in $files; do
        copies=$(awk -v d="$(soxi -D "$work/program/$file")" -v need="$((settle + seconds + 10))" \
            'BEGIN { n = int(need / d) + 1; print n }')
        # shellcheck disable=SC2046 # the same file, `copies` times
        sox $(for _ in $(seq "$copies"); do echo "$work/program/$file"; done) "$work/peer/$file"
    done
    echo "$files" >"$work/peer/list"
}

peer_command() {
    local cmd=(gst-launch-1.0 -q audiomixer name=mix ! audio/x-raw,rate=48000,channels=2 !
        audioconvert ! pulsesink)
    for file in $(cat "$work/peer/list"); do
        cmd+=(filesrc location="$work/peer/$file" ! wavparse ! audioconvert ! audioresample ! mix.)
    done
    echo "${cmd[@]}"
}

# --- the private servers -------------------------------------------------

server_env=()
server_pids=() # "name pid" pairs measured beside each client
start_server() {
    local kind=$1
    server_dir=$work/$kind
    local script=$here/../scripts/private-pulseaudio.sh
    [ "$kind" = pipewire ] && script=$here/private-pipewire.sh
    if ! "$script" start "$server_dir" bench >"$work/$kind.env" 2>"$work/$kind.err"; then
        cat "$work/$kind.err" >&2
        server_dir=
        return 1
    fi
    mapfile -t server_env <"$work/$kind.env"
    server_pids=()
    local name pid started
    while read -r name pid started; do
        [ "$name" = dbus-daemon ] || server_pids+=("$name $pid")
    done <"$server_dir/pids"
    echo
    echo "### $kind: $(timeout 10 env "${server_env[@]}" pactl info | sed -n 's/^Server Name: //p')," \
        "server processes: ${server_pids[*]}"
}

stop_server() {
    local script=$here/../scripts/private-pulseaudio.sh
    [ -f "$server_dir/daemon.env" ] && script=$here/private-pipewire.sh
    "$script" stop "$server_dir" || true
    server_dir=
}

# --- measuring -------------------------------------------------------------

# One line per thread of `pid`: tid, ns on the CPU (schedstat; -1 when
# missing), clock ticks, voluntary and involuntary switches, name.
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

# Per-thread table of one process between two snapshots over `dt` seconds;
# `total` prints only the process's sum as "cpu% wakeups/s".
table() {
    local before=$1 after=$2 dt=$3 main=$4 mode=${5:-threads}
    awk -v dt="$dt" -v hz="$(getconf CLK_TCK)" -v main="$main" -v mode="$mode" '
        NR == FNR { ns[$1] = $2; ticks[$1] = $3; vol[$1] = $4; nvol[$1] = $5; next }
        ($1 in ns) {
            cpu = ($2 >= 0 && ns[$1] >= 0) ? ($2 - ns[$1]) / 1e9 : ($3 - ticks[$1]) / hz
            pct = 100 * cpu / dt; v = ($4 - vol[$1]) / dt; n = ($5 - nvol[$1]) / dt
            name = ($1 == main) ? $6 " (main)" : $6
            if (mode == "threads")
                printf "    %-26s %8.3f %%  %8.1f wake-ups/s  (%.1f preempted)\n", name, pct, v + n, n
            tp += pct; tw += v + n; tn += n; tt += $3 - ticks[$1]
        }
        END {
            if (mode == "threads")
                printf "    %-26s %8.3f %%  %8.1f wake-ups/s  (%.1f preempted; %.3f %% by clock ticks)\n", "total", tp, tw, tn, 100 * tt / hz / dt
            else
                printf "%.4f %.1f\n", tp, tw
        }' "$before" "$after"
}

# How the client reaches the server: which sound library it loaded, and what
# the server says about its stream.
client_report() {
    local pid=$1 libs
    libs=$(grep -oE 'lib(pulse|pulse-simple|pipewire-0\.3|asound)\.so[^ ]*' "/proc/$pid/maps" 2>/dev/null |
        sed 's/\.so.*//' | sort -u | tr '\n' ' ')
    echo "    sound libraries loaded: ${libs:-none}"
    [ ${#server_env[@]} -gt 0 ] || return 0
    { timeout 10 env "${server_env[@]}" pactl list sink-inputs 2>/dev/null || true; } | awk -v pid="$pid" '
        /^Sink Input #/ { if (mine) print block; block = ""; mine = 0 }
        /application.process.id = / { gsub(/"/, "", $3); if ($3 == pid) mine = 1 }
        /Latency:|^[ \t]*Sample |media.name = |node.latency = / { sub(/^[ \t]+/, ""); block = block "    server: " $0 "\n" }
        END { if (mine) printf "%s", block; else print "    WARNING: the server shows no stream of this process" }' |
        sed '/^$/d'
}

results=$work/results
# measure SERVER RUN REPEAT -- COMMAND...: starts the client, waits to
# settle, measures it and the server's processes over the window.
measure() {
    local server=$1 run=$2 repeat=$3
    shift 4
    local label="$server $run #$repeat"
    write_settings
    (cd "$work/program" && exec "$@" >"$work/client.log" 2>&1) &
    client=$!
    sleep "$settle"
    if ! kill -0 "$client" 2>/dev/null; then
        echo "console-cpu: $label: the client ended early:" >&2
        cat "$work/client.log" >&2
        client=
        return 1
    fi
    local perf_pid=
    if [ -n "${PERF_DIR:-}" ]; then
        mkdir -p "$PERF_DIR"
        perf record -q -g -F "${PERF_FREQ:-2000}" -p "$client" \
            -o "$PERF_DIR/$server-$run-$repeat.data" >"$work/perf.log" 2>&1 &
        perf_pid=$!
        sleep 0.5
    fi
    local load entry
    load=$(cut -d' ' -f1-3 /proc/loadavg)
    snapshot "$client" >"$work/client.before"
    for entry in "${server_pids[@]}"; do snapshot "${entry#* }" >"$work/server.${entry%% *}.before"; done
    local t0 t1
    t0=$(date +%s.%N)
    sleep "$seconds"
    snapshot "$client" >"$work/client.after"
    for entry in "${server_pids[@]}"; do snapshot "${entry#* }" >"$work/server.${entry%% *}.after"; done
    t1=$(date +%s.%N)
    if [ -n "$perf_pid" ]; then
        kill -INT "$perf_pid" 2>/dev/null || true
        wait "$perf_pid" 2>/dev/null || true
    fi
    local dt level
    dt=$(echo "$t1 - $t0" | bc -l)
    level=$(monitor_level || true)
    echo
    echo "== $label: ${seconds} s after ${settle} s; load average $load"
    if [ -n "$level" ]; then
        echo "    heard at the sink: RMS $level dB"
        if [ "$level" = "-inf" ]; then
            echo "    WARNING: the sink played silence: nothing of this client was measured playing"
        fi
    fi
    client_report "$client"
    table "$work/client.before" "$work/client.after" "$dt" "$client"
    local sums servercpu=0 serverwake=0 cpu wake
    for entry in "${server_pids[@]}"; do
        read -r cpu wake < <(table "$work/server.${entry%% *}.before" "$work/server.${entry%% *}.after" "$dt" 0 total)
        printf "    server %-19s %8.3f %%  %8.1f wake-ups/s\n" "${entry%% *}" "$cpu" "$wake"
        servercpu=$(echo "$servercpu + $cpu" | bc -l)
        serverwake=$(echo "$serverwake + $wake" | bc -l)
    done
    sums=$(table "$work/client.before" "$work/client.after" "$dt" "$client" total)
    local main
    main=$(awk -v main="$client" '$1 == main' "$work/client.before" "$work/client.after" |
        awk 'NR == 1 { a = $2; v = $4 + $5 } NR == 2 { printf "%.4f %.1f", ($2 - a) / 1e9 * 100, $4 + $5 - v }')
    read -r cpu wake <<<"$sums"
    read -r maincpu mainwake <<<"$main"
    mainwake=$(echo "$mainwake / $dt" | bc -l)
    maincpu=$(echo "$maincpu / $dt" | bc -l)
    echo "$server $run $repeat $cpu $wake $servercpu $serverwake $maincpu $mainwake ${load%% *}" >>"$results"
    kill "$client" 2>/dev/null || true
    wait "$client" 2>/dev/null || true
    client=
}

program_env=(env -u SDL_AUDIODRIVER -u SDL_DISKAUDIOFILE QT_QPA_PLATFORM=offscreen
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data")

wants() { [[ " $runs " == *" $1 "* ]]; }

echo "console-cpu: ${seconds} s windows, ${repeats} repeats; runs: $runs; servers: $servers"
echo "  $(nproc) cores; load average now $(cut -d' ' -f1-3 /proc/loadavg)"
if [ "${IDLE_POLL:-0}" = 1 ]; then
    # Held while this descriptor stays open.
    exec {idle_hold}>/dev/cpu_dma_latency || { echo "console-cpu: IDLE_POLL needs root" >&2; exit 1; }
    printf '0\n' >&"$idle_hold"
    echo "  idle processors poll (IDLE_POLL=1): wake-ups cost what they cost on a busy machine"
else
    echo "  idle processors halt: wake-ups cost what they cost on a quiet machine"
fi

if wants disk; then
    for repeat in $(seq "$repeats"); do
        measure disk program "$repeat" -- "${program_env[@]}" SDL_AUDIODRIVER=disk \
            SDL_DISKAUDIOFILE=/dev/null "$program"
    done
fi

if wants peer; then
    command -v gst-launch-1.0 >/dev/null || { echo "console-cpu: gst-launch-1.0 is missing (scripts/install-deps.sh --bench)" >&2; exit 1; }
    peer_files
fi

for server in $servers; do
    if ! start_server "$server"; then
        echo "console-cpu: $server: the private server did not start; skipped" >&2
        continue
    fi
    for repeat in $(seq "$repeats"); do
        if wants program; then
            measure "$server" program "$repeat" -- "${program_env[@]}" "${server_env[@]}" "$program"
        fi
        if wants program-sdl; then
            measure "$server" program-sdl "$repeat" -- "${program_env[@]}" "${server_env[@]}" \
                SDL_AUDIODRIVER=pulseaudio "$program"
        fi
        if wants peer; then
            # shellcheck disable=SC2046 # the pipeline's words
            measure "$server" peer "$repeat" -- env "${server_env[@]}" $(peer_command)
        fi
    done
    stop_server
done

[ -s "$results" ] || exit 0

# --- summary ---------------------------------------------------------------
echo
echo "== summary: medians over the repeats (min .. max); load average (1 min) of each window"
awk '
    function median(list,    n, a, i, j, t) {
        n = split(list, a, " ")
        for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    function lo(list,    n, a, i, m) { n = split(list, a, " "); m = a[1]; for (i = 2; i <= n; i++) if (a[i] + 0 < m + 0) m = a[i]; return m }
    function hi(list,    n, a, i, m) { n = split(list, a, " "); m = a[1]; for (i = 2; i <= n; i++) if (a[i] + 0 > m + 0) m = a[i]; return m }
    {
        key = $1 " " $2
        if (!(key in cpu)) order[++keys] = key
        cpu[key] = cpu[key] " " $4; wake[key] = wake[key] " " $5
        scpu[key] = scpu[key] " " $6; swake[key] = swake[key] " " $7
        mcpu[key] = mcpu[key] " " $8; mwake[key] = mwake[key] " " $9
        both[key] = both[key] " " ($4 + $6); load[key] = load[key] " " $10
        # per repeat, for the ratios
        c[$1, $2, $3] = $4; s[$1, $2, $3] = $6; reps[$1] = reps[$1] " " $3
    }
    END {
        printf "  %-26s %18s %10s %18s %10s %22s\n", "", "client % of core", "wake/s", "server % of core", "wake/s", "loads"
        for (k = 1; k <= keys; k++) {
            key = order[k]
            printf "  %-26s %6.3f (%5.3f..%5.3f) %10.1f %6.3f (%5.3f..%5.3f) %10.1f   %s\n", key,
                median(cpu[key]), lo(cpu[key]), hi(cpu[key]), median(wake[key]),
                median(scpu[key]), lo(scpu[key]), hi(scpu[key]), median(swake[key]), load[key]
        }
        print ""
        if (("disk program") in cpu) {
            key = "disk program"
            printf "  %-4s disk: whole program %.3f %% (goal <= 0.25 %%)\n", median(cpu[key]) <= 0.25 ? "PASS" : "FAIL", median(cpu[key])
            printf "  %-4s disk: UI thread %.3f %%, %.1f wake-ups/s (goal <= 0.05 %%, <= 5/s)\n",
                (median(mcpu[key]) <= 0.05 && median(mwake[key]) <= 5) ? "PASS" : "FAIL", median(mcpu[key]), median(mwake[key])
        }
        for (k = 1; k <= keys; k++) {
            split(order[k], p, " ")
            if (p[2] != "peer") continue
            server = p[1]
            for (r = 1; r <= 2; r++) {
                run = r == 1 ? "program" : "program-sdl"
                if (!((server " " run) in cpu)) continue
                ratio = ""; ratioAll = ""
                n = split(reps[server], rl, " ")
                for (i = 1; i <= n; i++) {
                    rep = rl[i]
                    if (!((server, run, rep) in c) || !((server, "peer", rep) in c)) continue
                    if (seen[server, run, rep]++) continue
                    if (c[server, run, rep] > 0) ratio = ratio " " sprintf("%.2f", c[server, "peer", rep] / c[server, run, rep])
                    if (c[server, run, rep] + s[server, run, rep] > 0)
                        ratioAll = ratioAll " " sprintf("%.2f", (c[server, "peer", rep] + s[server, "peer", rep]) / (c[server, run, rep] + s[server, run, rep]))
                }
                pc = median(cpu[server " " run])
                if (run == "program")
                    printf "  %-4s %s: program %.3f %% of one core (goal <= 0.15 %%)\n", pc <= 0.15 ? "PASS" : "FAIL", server, pc
                else
                    printf "  info %s: program with SDL forced %.3f %% of one core\n", server, pc
                if (ratio != "") {
                    m = median(ratio)
                    tag = run == "program" ? (m >= 20 ? "PASS" : "FAIL") : "info"
                    printf "  %-4s %s: peer / %s = %.1fx (per repeat:%s; goal >= 20x)\n", tag, server, run, m, ratio
                }
                if (ratioAll != "") {
                    m = median(ratioAll)
                    tag = run == "program" ? (m >= 3 ? "PASS" : "FAIL") : "info"
                    printf "  %-4s %s: (peer + server) / (%s + server) = %.2fx (per repeat:%s; goal >= 3x)\n", tag, server, run, m, ratioAll
                }
            }
        }
    }' "$results"

# Shared by the private sound server scripts (sourced, not run): the folder
# layout, the pid list and the stop that ends only what was started.
#
# A server folder DIR holds:
#   DIR/run/        the server's private XDG_RUNTIME_DIR (its sockets)
#   DIR/home/       HOME and XDG_CONFIG_HOME of the server processes
#   DIR/env         `export NAME=value` lines a client needs (sourceable)
#   DIR/pids        one line per server process: name, pid, start time
#   DIR/*.log       each process's own log

# Fails with a readable reason when DIR cannot hold a socket path: a unix
# socket name is limited to 107 bytes.
private_server_prepare() {
    local dir=$1
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    local socket="$dir/run/pulse/native"
    if [ "${#socket}" -gt 100 ]; then
        echo "private server: $dir is too long a path for a socket ($socket)" >&2
        return 1
    fi
    if private_server_running "$dir"; then
        echo "private server: one is already running in $dir (stop it first)" >&2
        return 1
    fi
    rm -f "$dir/pids" "$dir/env"
    rm -rf "$dir/run"
    mkdir -p "$dir/run" "$dir/home"
    chmod 700 "$dir/run"
    echo "$dir"
}

# The start time of a process in clock ticks since boot (field 22 of its
# stat), so a recorded pid reused by another process is never signalled.
private_server_start_time() {
    sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | awk '{print $20}'
}

private_server_record() {
    local dir=$1 name=$2 pid=$3 started
    started=$(private_server_start_time "$pid")
    echo "$name $pid ${started:-0}" >>"$dir/pids"
}

# True when the recorded process `pid` (started at `started`) still runs.
private_server_alive() {
    local pid=$1 started=$2 state
    state=$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null | awk '{print $1}')
    [ -n "$state" ] && [ "$state" != Z ] && [ "$(private_server_start_time "$pid")" = "$started" ]
}

private_server_running() {
    local dir=$1 name pid started
    [ -f "$dir/pids" ] || return 1
    while read -r name pid started; do
        if private_server_alive "$pid" "$started"; then return 0; fi
    done <"$dir/pids"
    return 1
}

# Ends the recorded processes, last started first: SIGTERM, up to five
# seconds to leave, then SIGKILL.
private_server_stop() {
    local dir=$1 name pid started
    [ -f "$dir/pids" ] || return 0
    local lines
    lines=$(tac "$dir/pids")
    while read -r name pid started; do
        [ -n "$pid" ] || continue
        private_server_alive "$pid" "$started" || continue
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 50); do
            private_server_alive "$pid" "$started" || break
            sleep 0.1
        done
        if private_server_alive "$pid" "$started"; then
            echo "private server: $name ($pid) ignored SIGTERM; killing it" >&2
            kill -KILL "$pid" 2>/dev/null || true
        fi
    done <<<"$lines"
    rm -f "$dir/pids"
    rm -rf "$dir/run"
}

# Writes DIR/env from NAME=value arguments and prints them, one a line.
private_server_write_env() {
    local dir=$1
    shift
    : >"$dir/env"
    local pair
    for pair in "$@"; do
        printf 'export %s=%q\n' "${pair%%=*}" "${pair#*=}" >>"$dir/env"
        echo "$pair"
    done
}

# Waits until the PulseAudio-protocol server named in DIR/env answers and
# its sink `sink` exists; up to PRIVATE_SERVER_TIMEOUT seconds (default 15).
private_server_wait() {
    local dir=$1 sink=$2
    local tries=$((${PRIVATE_SERVER_TIMEOUT:-15} * 10))
    for _ in $(seq "$tries"); do
        if (. "$dir/env" && pactl list short sinks 2>/dev/null | awk '{print $2}' | grep -qx "$sink"); then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# A failed start: says why (the logs' last lines), ends what did start.
private_server_fail() {
    local dir=$1 what=$2 log
    echo "private server: $what" >&2
    for log in "$dir"/*.log; do
        [ -s "$log" ] || continue
        echo "--- ${log##*/}" >&2
        tail -n 15 "$log" >&2
    done
    private_server_stop "$dir"
    return 1
}

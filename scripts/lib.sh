# Shared by scripts/run and scripts/test: package installation, building and a private JACK server.
# Sourced, not run.

QUORVELL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUORVELL_PACKAGES=(g++ cmake make pkg-config ccache qt6-base-dev libgl-dev librtmidi-dev jackd2
    libjack-jackd2-dev xvfb xauth googletest libgtest-dev libbenchmark-dev fonts-liberation imagemagick
    xdotool desktop-file-utils appstream shared-mime-info libxml2-utils man-db lintian
    libglib2.0-bin file systemd libsystemd-dev python3 pipewire pipewire-bin pipewire-jack wireplumber dbus liblo-dev liblo-tools)

# Installs whatever is missing from the list above with apt; silent when nothing is missing.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "${QUORVELL_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq >/dev/null
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# build_tree DIR [cmake options...]: configures and builds quietly; prints the log on failure.
build_tree() {
    local dir=$1
    shift
    local log="$dir/build.log"
    mkdir -p "$dir"
    if ! { cmake -S "$QUORVELL_ROOT" -B "$dir" "$@" && cmake --build "$dir" -j2; } >"$log" 2>&1; then
        tail -n 80 "$log"
        echo "Build failed in $dir (full log: $log)" >&2
        return 1
    fi
}

# start_private_jack NAME LOG [FRAMES]: starts a private JACK server with the dummy driver (FRAMES
# per period, 256 by default) and exports its name for every client.
# Sets JACK_PID. Nothing else will start a server behind our back.
start_private_jack() {
    local name=$1
    local log=$2
    local frames=${3:-256}
    export JACK_NO_START_SERVER=1
    export JACK_DEFAULT_SERVER=$name
    export QUORVELL_TEST_JACK_PERIOD_FRAMES=$frames
    # Synchronous mode: the server waits for every client each period, so a client slowed down by
    # a loaded machine delays the period instead of losing its messages.
    # Servers that died without stopping keep their registry entries; eight of them and no new
    # server starts.
    python3 "$QUORVELL_ROOT/scripts/jack-registry-clean.py" || true
    # An interrupt or terminate stops the server too: the EXIT trap runs on the way out.
    trap 'exit 130' INT
    trap 'exit 143' TERM
    jackd -S -n "$name" --no-realtime -d dummy -r 48000 -p "$frames" >"$log" 2>&1 &
    JACK_PID=$!
    local i
    for i in $(seq 1 100); do
        if jack_lsp -s "$name" >/dev/null 2>&1; then
            return 0
        fi
        if ! kill -0 "$JACK_PID" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    cat "$log" >&2
    if grep -q "Too many servers" "$log"; then
        echo "The private JACK server '$name' did not start: eight JACK servers are running; stop" \
            "one (jack_control stop, or kill its jackd) and try again." >&2
    else
        echo "The private JACK server '$name' did not start." >&2
    fi
    JACK_PID=""
    return 1
}

stop_private_jack() {
    if [ -n "${JACK_PID:-}" ] && kill -0 "$JACK_PID" 2>/dev/null; then
        kill "$JACK_PID" 2>/dev/null || true
        local i
        for i in $(seq 1 50); do
            kill -0 "$JACK_PID" 2>/dev/null || break
            sleep 0.1
        done
        # A server that does not stop in five seconds is killed; the next start clears its entry.
        kill -9 "$JACK_PID" 2>/dev/null || true
        wait "$JACK_PID" 2>/dev/null || true
    fi
    JACK_PID=""
}

#!/usr/bin/env bash
# The native JACK end-to-end tests once more on PipeWire's JACK library: a private PipeWire and
# WirePlumber (the stock configuration, whose dummy driver runs the graph with no sound card) in a
# D-Bus session and XDG_RUNTIME_DIR of their own, a 256-frame quantum, the tests run through
# pw-jack; then a test that stops and restarts PipeWire under a routing program.
#   scripts/pipewire-tests.sh BUILD_DIR
# Says so and succeeds when PipeWire is not installed.
set -euo pipefail
BUILD=$(cd "${1:?usage: scripts/pipewire-tests.sh BUILD_DIR}" && pwd)
TESTS='^(tst_HeadlessJackNative|tst_HeadlessStateJack|tst_NativeJackBackendJack)$'

for tool in pipewire wireplumber pw-jack pw-metadata dbus-run-session; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "PipeWire tests skipped: $tool is not installed (packages pipewire, pipewire-jack, wireplumber, dbus)"
        exit 0
    fi
done

if [ "${2:-}" != "--inside" ]; then
    RUNTIME=$(mktemp -d)
    chmod 700 "$RUNTIME"
    trap 'rm -rf "$RUNTIME"' EXIT
    status=0
    XDG_RUNTIME_DIR=$RUNTIME dbus-run-session -- "$0" "$BUILD" --inside || status=$?
    exit $status
fi

# --- Inside the private D-Bus session.
LOG=$BUILD/pipewire-tests.log
: >"$LOG"
export JACK_DEFAULT_SERVER=default JACK_NO_START_SERVER=1 PIPEWIRE_LOG_SYSTEMD=false
PIDS=()
stop_pipewire() {
    local pid
    for pid in "${PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    PIDS=()
}
trap stop_pipewire EXIT

pipewire >>"$LOG" 2>&1 &
PIDS+=($!)
sleep 0.5
wireplumber >>"$LOG" 2>&1 &
PIDS+=($!)
for _ in $(seq 1 100); do
    pw-jack jack_lsp >/dev/null 2>&1 && break
    sleep 0.1
done
pw-metadata -n settings 0 clock.force-quantum 256 >>"$LOG" 2>&1

status=0
(cd "$BUILD" && QUORVELL_TEST_JACK_BACKEND=native QUORVELL_TEST_JACK_PERIOD_FRAMES=256 \
    pw-jack ctest --output-on-failure -R "$TESTS") || status=1
stop_pipewire

# PipeWire stopped and started again under a routing program: the test runs PipeWire itself.
(cd "$BUILD" && QUORVELL_TEST_PIPEWIRE=1 pw-jack ctest --output-on-failure -R '^tst_PipeWireRestartJack$') ||
    status=1
exit $status

#!/usr/bin/env bash
# Messaging between processes: a synchronous DefaultText request to a running
# locale_peer against a D-Bus ping to it. Run by bench/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
build=${LE_BUILD_DIR:-build}
configure_bench "$build"
cmake --build "$build" --target bench_app locale_peer -- -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
exec dbus-run-session -- "$build/bench/bench_app" --peer="$build/tests/locale_peer" "$@"

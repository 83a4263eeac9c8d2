#!/usr/bin/env bash
# Messaging between processes: a synchronous DefaultText request to a running
# locale_peer against a D-Bus ping to it. Run by bench/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${LE_BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
	cmake -S . -B "$build" -G Ninja -DLE_BENCH=ON >/dev/null
fi
cmake --build "$build" --target bench_app locale_peer -- -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
exec dbus-run-session -- "$build/bench/bench_app" --peer="$build/tests/locale_peer" "$@"

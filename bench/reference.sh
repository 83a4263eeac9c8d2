#!/usr/bin/env bash
# Reference benchmarks: placing a reference in the editor's window against
# msgen (GNU gettext) writing the same entries, and fetching another running
# editor's texts against a D-Bus ping to it. Run by bench/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
build=${LE_BUILD_DIR:-build}
need_gettext msgen
configure_bench "$build"
cmake --build "$build" --target bench_reference LocaleEditor -- -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
exec dbus-run-session -- "$build/bench/bench_reference" --editor="$build/LocaleEditor" "$@"

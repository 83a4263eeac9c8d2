#!/usr/bin/env bash
# Builds everything into build/ and runs every test with ctest.
# With SANITIZE=1 (and always under CI) the suite runs again, built with
# AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer in
# build/sanitize; with RELEASE=1 (and always under CI) once more, built as
# packagers build it (Release, -O3) in build/release.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
le_install_deps

run_suite() {
	local dir=$1
	shift
	le_build "$dir" "$@"
	# Tests that talk between processes get a private session bus.
	dbus-run-session -- ctest --test-dir "$dir" --output-on-failure -j2
}

run_suite build
if [ "${CI:-}" = "true" ] || [ "${SANITIZE:-0}" = "1" ]; then
	run_suite build/sanitize -DLE_SANITIZE=ON -DLE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
fi
if [ "${CI:-}" = "true" ] || [ "${RELEASE:-0}" = "1" ]; then
	run_suite build/release -DLE_BENCH=OFF -DCMAKE_BUILD_TYPE=Release
fi

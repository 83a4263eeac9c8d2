#!/usr/bin/env bash
# Reference benchmarks: placing a reference in the editor's window against
# msgen (GNU gettext) writing the same entries, and fetching another running
# editor's texts against a D-Bus ping to it. Run by bench/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${LE_BUILD_DIR:-build}
if ! command -v msgen >/dev/null; then
	echo "Installing: gettext"
	sudo=""
	[ "$(id -u)" -ne 0 ] && sudo="sudo"
	$sudo apt-get update -qq
	DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends gettext \
		>/dev/null
fi
if [ ! -f "$build/build.ninja" ]; then
	cmake -S . -B "$build" -G Ninja -DLE_BENCH=ON >/dev/null
fi
cmake --build "$build" --target bench_reference LocaleEditor -- -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
exec dbus-run-session -- "$build/bench/bench_reference" --editor="$build/LocaleEditor" "$@"

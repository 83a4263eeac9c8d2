#!/usr/bin/env bash
# Start-up time, offscreen: from exec until the first window is shown and the
# program has ended again, the editor against a minimal Qt Widgets program
# that shows one window. Prints the medians and their ratio.
#   bench/startup.sh [BUILD_DIR]   (RUNS=n for the number of runs, default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-20}
editor=$build/bench/bench_startup_editor
baseline=$build/bench/bench_startup_qt
for program in "$editor" "$baseline"; do
	if [ ! -x "$program" ]; then
		echo "startup: $program is not built" >&2
		exit 1
	fi
done

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session >/dev/null; then
	exec dbus-run-session -- "$0" "$@"
fi
export QT_QPA_PLATFORM=offscreen

# The editor starts from an application folder of its own, laid out like an
# installed one (interface translations beside it), so the build folder's
# preferences stay untouched.
app=$(mktemp -d)
trap 'rm -rf "$app"' EXIT
cp "$editor" "$app/"
if [ -d "$build/locale" ]; then
	cp -a "$build/locale" "$app/"
fi

# Median wall time of one run, in microseconds.
median_us() {
	local times=() start end i
	"$@" >/dev/null 2>&1 # warm the caches once
	for ((i = 0; i < runs; i++)); do
		start=$(date +%s%N)
		"$@" >/dev/null 2>&1
		end=$(date +%s%N)
		times+=($(((end - start) / 1000)))
	done
	printf '%s\n' "${times[@]}" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'
}

editor_us=$(median_us "$app/bench_startup_editor")
baseline_us=$(median_us "$baseline")
awk -v e="$editor_us" -v b="$baseline_us" -v n="$runs" 'BEGIN {
	printf "startup (median of %d, offscreen): editor %.1f ms, Qt baseline %.1f ms, ratio %.2f (goal <= 1.50)\n",
		n, e / 1000, b / 1000, e / b
}'

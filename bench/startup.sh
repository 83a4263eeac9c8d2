#!/usr/bin/env bash
# Start-up time, offscreen, the editor against a minimal Qt Widgets program
# that shows one window: from exec until the window is shown (each program
# reports that moment itself), and the whole run until the program has ended
# again. Prints the medians and their ratios.
#   bench/startup.sh [BUILD_DIR]   (default $LE_BUILD_DIR or build;
#                                   RUNS=n for the number of runs, default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-${LE_BUILD_DIR:-build}}
runs=${RUNS:-20}
editor=$build/bench/bench_startup_editor
baseline=$build/bench/bench_startup_qt
if [ -f "$build/build.ninja" ]; then
	cmake --build "$build" --target bench_startup_editor bench_startup_qt >/dev/null 2>&1 ||
		echo "startup: building the programs failed" >&2
fi
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

# Medians of runs of one program, in microseconds: "<to shown> <whole run>".
medians() {
	local shown=() whole=() start end line i
	"$@" >/dev/null 2>&1 # warm the caches once
	for ((i = 0; i < runs; i++)); do
		start=$(date +%s%N)
		line=$(LE_BENCH_T0=$start "$@" 2>/dev/null | grep '^shown_us=' || true)
		end=$(date +%s%N)
		shown+=("${line#shown_us=}")
		whole+=($(((end - start) / 1000)))
	done
	printf '%s %s\n' "$(median "${shown[@]}")" "$(median "${whole[@]}")"
}
median() {
	printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'
}

read -r editor_shown editor_whole < <(medians "$app/bench_startup_editor")
read -r base_shown base_whole < <(medians "$baseline")
awk -v es="$editor_shown" -v ew="$editor_whole" -v bs="$base_shown" -v bw="$base_whole" \
	-v n="$runs" 'BEGIN {
	printf "startup, exec to window shown (median of %d, offscreen): editor %.1f ms, Qt baseline %.1f ms, ratio %.2f (goal <= 1.50)\n",
		n, es / 1000, bs / 1000, es / bs
	printf "startup, whole run to exit: editor %.1f ms, Qt baseline %.1f ms, ratio %.2f\n",
		ew / 1000, bw / 1000, ew / bw
}'

# On a busy machine wall time mostly measures the scheduler; the processor
# time both programs use is steadier. Reported when perf is at hand.
cpu_ms() {
	perf stat -r "$runs" -x, -e task-clock "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ {print $1}'
}
if command -v perf >/dev/null && perf stat -e task-clock true >/dev/null 2>&1; then
	editor_cpu=$(cpu_ms "$app/bench_startup_editor")
	base_cpu=$(cpu_ms "$baseline")
	awk -v e="$editor_cpu" -v b="$base_cpu" 'BEGIN {
	printf "startup, processor time of the whole run: editor %.1f ms, Qt baseline %.1f ms, ratio %.2f\n",
		e, b, e / b
}'
fi

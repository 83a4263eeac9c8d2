#!/usr/bin/env bash
# Start-up time, offscreen, the editor against a minimal Qt Widgets program
# that shows one window: from the first statement of main until the window is
# shown, from exec until then (the dynamic loader counts; each program
# reports that moment itself), and the whole run until the program has ended
# again. A second Qt program shows a window with a few controls, to tell the
# cost of the first text measured from the editor's own. Prints the medians
# and their ratios.
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

# One run: "<exec to shown> <main to shown> <whole run>" in microseconds,
# "-" for a window never reported.
run_once() {
	local start end line shown main
	start=$(date +%s%N)
	line=$(LE_BENCH_T0=$start "$@" 2>/dev/null | grep '^shown_us=' || true)
	end=$(date +%s%N)
	shown=-
	main=-
	if [[ $line =~ ^shown_us=([0-9]+)\ main_us=([0-9]+) ]]; then
		shown=${BASH_REMATCH[1]}
		main=${BASH_REMATCH[2]}
	fi
	printf '%s %s %s\n' "$shown" "$main" $(((end - start) / 1000))
}
# A run that never reported its window ("-") is left out.
median() {
	printf '%s\n' "$@" | grep -E '^[0-9]+$' | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'
}

# The two programs take turns, so that load from elsewhere that comes and
# goes during the runs weighs on both alike.
"$app/bench_startup_editor" >/dev/null 2>&1 # warm the caches once
"$baseline" >/dev/null 2>&1
editor_shown_all=() editor_main_all=() editor_whole_all=()
base_shown_all=() base_main_all=() base_whole_all=() controls_main_all=()
for ((i = 0; i < runs; i++)); do
	read -r shown main whole < <(run_once "$app/bench_startup_editor")
	editor_shown_all+=("$shown") editor_main_all+=("$main") editor_whole_all+=("$whole")
	read -r shown main whole < <(run_once "$baseline")
	base_shown_all+=("$shown") base_main_all+=("$main") base_whole_all+=("$whole")
	read -r shown main whole < <(run_once "$baseline" controls)
	controls_main_all+=("$main")
done
editor_shown=$(median "${editor_shown_all[@]}")
editor_main=$(median "${editor_main_all[@]}")
editor_whole=$(median "${editor_whole_all[@]}")
base_shown=$(median "${base_shown_all[@]}")
base_main=$(median "${base_main_all[@]}")
base_whole=$(median "${base_whole_all[@]}")
controls_main=$(median "${controls_main_all[@]}")
awk -v es="$editor_shown" -v em="$editor_main" -v ew="$editor_whole" \
	-v bs="$base_shown" -v bm="$base_main" -v bw="$base_whole" -v cm="$controls_main" \
	-v n="$runs" 'BEGIN {
	printf "startup, main to window shown (median of %d, offscreen): editor %.1f ms, Qt baseline %.1f ms, ratio %.2f (goal <= 1.50)\n",
		n, em / 1000, bm / 1000, em / bm
	printf "startup, main to window shown, Qt window with a menu bar, a label, a line edit and a text edit: %.1f ms, ratio to the Qt baseline %.2f, editor against it %.2f\n",
		cm / 1000, cm / bm, em / cm
	printf "startup, exec to window shown (dynamic loading included): editor %.1f ms, Qt baseline %.1f ms, ratio %.2f\n",
		es / 1000, bs / 1000, es / bs
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

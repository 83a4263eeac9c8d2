#!/usr/bin/env bash
# Builds the benchmarks into build/ (or $LE_BUILD_DIR) and runs them: each
# Google Benchmark program listed in bench/benchmarks.txt in turn, then every
# section script bench/*.sh beside this one. Timings are printed as ratios
# to a baseline measured in the same run; nothing here passes or fails.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
le_install_deps
build=${LE_BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
	cmake -S . -B "$build" -G Ninja -DLE_BENCH=ON >/dev/null
else
	cmake -S . -B "$build" -DLE_BENCH=ON >/dev/null
fi
list="$build/bench/benchmarks.txt"
mapfile -t benches < <(grep -v '^$' "$list" || true)
if [ ${#benches[@]} -gt 0 ]; then
	cmake --build "$build" --target "${benches[@]}" -- -j"$(nproc)"
fi
# Widgets run offscreen, as in the tests.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for bench in "${benches[@]}"; do
	# A program that a section script runs (with the peers and the bus it
	# needs) is left to that script.
	if grep -lq -- "$bench" bench/*.sh 2>/dev/null &&
		grep -l -- "$bench" bench/*.sh | grep -qv 'bench/run.sh'; then
		continue
	fi
	echo "== $bench"
	"$build/bench/$bench" "$@"
done
for section in bench/*.sh; do
	[ "$section" = "bench/run.sh" ] && continue
	[ -f "$section" ] || continue
	echo "== $section"
	LE_BUILD_DIR="$build" bash "$section"
done

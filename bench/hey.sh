#!/usr/bin/env bash
# hey against the bus itself: one invocation (process start to exit) against
# dbus-send asking the same editor for a Peer.Ping, and the text of a
# 100,000-entry locale file read through hey against that ping plus the
# flattening of the same reply (bench_hey_flatten times BMessage::Flatten of
# the reply hey gets; reading it back is printed beside it). hey takes that
# reply in a sealed file beside the bus (RequestFd); the same asked inline
# (Request), as before that method, is timed in the same turns. Ratios are
# medians of repeated runs; nothing here passes or fails. Run by
# bench/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${LE_BUILD_DIR:-build}
runs=${HEY_BENCH_RUNS:-15}

if [ "${1:-}" != "--on-bus" ]; then
	# The flatten term's program is a benchmark: built as bench/run.sh does.
	cmake -S . -B "$build" -DLE_BENCH=ON >/dev/null
	cmake --build "$build" --target hey LocaleEditor localetool bench_hey_flatten -- -j"$(nproc)"
	export QT_QPA_PLATFORM=offscreen
	exec dbus-run-session -- bash "$0" --on-bus
fi

scratch=$(mktemp -d)
editor_pid=""
cleanup() {
	if [ -n "$editor_pid" ]; then
		kill "$editor_pid" 2>/dev/null || true
		wait "$editor_pid" 2>/dev/null || true
	fi
	rm -rf "$scratch"
}
trap cleanup EXIT

# A locale file of 100,000 entries, opened by the editor at start.
{
	echo "language: Bench"
	echo "version: 1.0"
	echo "app_id: bench"
	echo
	for ((i = 1; i <= 100000; i++)); do echo "$i = entry number $i of the benchmark"; done
} >"$scratch/Bench.txt"
"$build/localetool" compile "$scratch/Bench.txt" "$scratch/Bench.locale" >/dev/null
cp "$build/LocaleEditor" "$scratch/LocaleEditor"
"$scratch/LocaleEditor" "$scratch/Bench.locale" &
editor_pid=$!

text_view=(View 0 of View "[-1]" of View bkg_view of Window 0)
for ((i = 0; i < 300; i++)); do
	if "$build/hey" -t 2000 "$editor_pid" get Text "[0 to 1]" of "${text_view[@]}" 2>/dev/null |
		grep -q '"result" (B_STRING_TYPE) : ".'; then
		break
	fi
done

ping=(dbus-send --session --print-reply --dest="org.vessmor.Team$editor_pid" /org/vessmor/App
	org.freedesktop.DBus.Peer.Ping)
name=("$build/hey" "$editor_pid" get Name)
text=("$build/hey" "$editor_pid" get Text of "${text_view[@]}")

# Wall time of one run of the command named by $1, in microseconds.
time_us() {
	local -n command=$1
	local start end
	start=$(date +%s%N)
	"${command[@]}" >/dev/null
	end=$(date +%s%N)
	echo $(((end - start) / 1000))
}
median() { printf '%s\n' "$@" | sort -n | sed -n "$(((runs + 1) / 2))p"; }

# Taken in turns, so that whatever else the machine does meanwhile weighs
# on the baseline as on what is compared with it.
ping_times=()
name_times=()
text_times=()
inline_times=()
for ((r = 0; r < runs; r++)); do
	ping_times+=("$(time_us ping)")
	name_times+=("$(time_us name)")
	text_times+=("$(time_us text)")
	inline_times+=("$(VESSMOR_BUS_INLINE_REPLIES=1 time_us text)")
done
ping_us=$(median "${ping_times[@]}")
name_us=$(median "${name_times[@]}")
text_us=$(median "${text_times[@]}")
inline_us=$(median "${inline_times[@]}")
bytes=$("$build/hey" "$editor_pid" get Text of "${text_view[@]}" | wc -c)
read -r flatten_us unflatten_us flat_bytes < <("$build/bench/bench_hey_flatten" "$editor_pid" \
	"$runs" get Text of "${text_view[@]}")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '%-44s %10s us\n' "dbus-send Peer.Ping (baseline)" "$ping_us"
printf '%-44s %10s us  %s x baseline\n' "hey get Name (one invocation)" "$name_us" \
	"$(ratio "$name_us" "$ping_us")"
printf '%-44s %10s us  (%s bytes flattened; read back in %s us)\n' \
	"Flatten of that reply" "$flatten_us" "$flat_bytes" "$unflatten_us"
text_base_us=$((ping_us + flatten_us))
printf '%-44s %10s us  %s x (Ping + Flatten)  %s x Ping  (%s bytes printed)\n' \
	"hey get Text (100,000 entries)" "$text_us" "$(ratio "$text_us" "$text_base_us")" \
	"$(ratio "$text_us" "$ping_us")" "$bytes"
printf '%-44s %10s us  %s x (Ping + Flatten)  %s x Ping\n' \
	"hey get Text, reply inline (Request)" "$inline_us" "$(ratio "$inline_us" "$text_base_us")" \
	"$(ratio "$inline_us" "$ping_us")"

#!/usr/bin/env bash
# localetool on 100,000 entries against gettext's own tools on the same
# texts: check and stats against msgfmt --check-format --statistics on the
# exported PO file, export-po against msgen on that PO file. Prints the best
# of several runs of each and their ratios; nothing here passes or fails.
#   bench/localetool.sh [BUILD_DIR]   (default $LE_BUILD_DIR or build;
#                                      RUNS=n runs each, default 7;
#                                      ENTRIES=n, default 100000)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
build=${1:-${LE_BUILD_DIR:-build}}
runs=${RUNS:-7}
entries=${ENTRIES:-100000}
need_gettext msgen msgfmt
configure_bench "$build"
cmake --build "$build" --target localetool >/dev/null
tool=$build/localetool

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Texts like an application's: plain labels, printf conversions, escapes,
# closing punctuation; every 50th translation left out, every 97th with a
# conversion missing.
awk -v n="$entries" -v dir="$work" 'BEGIN {
	ref = dir "/ref.txt"; tr = dir "/tr.txt"
	print "language: English\nversion: 1.0.0\napp_id: bench app\n" > ref
	print "language: Deutsch\nversion: 1.0.0\napp_id: bench app\n" > tr
	for (i = 1; i <= n; i++) {
		k = i % 5
		if (k == 0) { r = "Open file " i "..."; t = "Datei " i " öffnen..." }
		else if (k == 1) { r = "%d of %s entries in " i; t = "%d von %s Einträgen in " i }
		else if (k == 2) { r = "Line one " i "\\nLine two:"; t = "Zeile eins " i "\\nZeile zwei:" }
		else if (k == 3) { r = "Saved " i " files with 100% success!"; t = i " Dateien zu 100 % gesichert!" }
		else { r = "Name " i; t = "Name " i }
		if (i % 97 == 0) t = "Eintrag " i
		if (i % 50 == 0) t = "x"
		print i " = " r > ref
		print i " = " t > tr
	}
}'
"$tool" compile "$work/ref.txt" "$work/ref.locale"
"$tool" compile "$work/tr.txt" "$work/tr.locale"
"$tool" export-po "$work/ref.locale" "$work/tr.locale" -o "$work/tr.po"

# best SECONDS of RUNS runs of a command, its output thrown away.
best() {
	local best_ns=""
	local i start end
	for ((i = 0; i < runs; i++)); do
		start=$(date +%s%N)
		"$@" >/dev/null 2>&1 || true
		end=$(date +%s%N)
		if [ -z "$best_ns" ] || [ $((end - start)) -lt "$best_ns" ]; then
			best_ns=$((end - start))
		fi
	done
	echo "$best_ns"
}

msgfmt_ns=$(best msgfmt --check-format --statistics -o /dev/null "$work/tr.po")
msgen_ns=$(best msgen "$work/tr.po" -o "$work/en.po")
check_ns=$(best "$tool" check "$work/ref.locale" "$work/tr.locale")
stats_ns=$(best "$tool" stats "$work/tr.locale" --reference "$work/ref.locale")
export_ns=$(best "$tool" export-po "$work/ref.locale" "$work/tr.locale" -o "$work/out.po")

ms() { awk -v ns="$1" 'BEGIN { printf "%8.1f ms", ns / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "localetool on $entries entries, best of $runs runs"
echo "  msgfmt --check-format --statistics  $(ms "$msgfmt_ns")"
echo "  msgen                               $(ms "$msgen_ns")"
echo "  localetool check                    $(ms "$check_ns")   ratio to msgfmt $(ratio "$check_ns" "$msgfmt_ns") (aim <= 0.30)"
echo "  localetool stats --reference        $(ms "$stats_ns")   ratio to msgfmt $(ratio "$stats_ns" "$msgfmt_ns") (aim <= 0.30)"
echo "  localetool export-po                $(ms "$export_ns")   ratio to msgen  $(ratio "$export_ns" "$msgen_ns") (aim <= 0.50)"

#!/usr/bin/env bash
# Loading, saving and holding locale files of 10,000 and 100,000 entries in
# the editor's window (offscreen), against msgmerge -N and msgfmt (GNU
# gettext) on the same texts, and the editor's memory against a bare text
# document. Run by bench/run.sh; prints a table of figures and ratios.
#   bench/editor_files.sh [BUILD_DIR] [benchmark options]
#   (default $LE_BUILD_DIR or build)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
build=${LE_BUILD_DIR:-build}
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
	build=$1
	shift
fi
need_gettext msgmerge msgfmt
configure_bench "$build"
cmake --build "$build" --target bench_editor_files -- -j"$(nproc)" >/dev/null
export QT_QPA_PLATFORM=offscreen
# The application object joins the session bus; a private one keeps the
# desktop's out of it.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session >/dev/null; then
	exec dbus-run-session -- "$build/bench/bench_editor_files" "$@"
fi
exec "$build/bench/bench_editor_files" "$@"

#!/usr/bin/env bash
# Builds the editor into build/ and starts it.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
le_install_deps
le_build build
if [ ! -x build/LocaleEditor ]; then
	echo "Built into build/; the editor executable does not exist yet."
	exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
	echo "No display found: starting the editor offscreen."
	export QT_QPA_PLATFORM=offscreen
fi
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session >/dev/null; then
	exec dbus-run-session -- build/LocaleEditor "$@"
fi
exec build/LocaleEditor "$@"

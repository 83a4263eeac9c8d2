# Shared by the bench scripts (sourced, from the repository's root).

# Installs GNU gettext when any of the named tools is missing: the scripts
# measure against gettext's own tools on the same texts.
need_gettext() {
	local tool
	for tool in "$@"; do
		command -v "$tool" >/dev/null && continue
		echo "Installing: gettext"
		local sudo=""
		[ "$(id -u)" -ne 0 ] && sudo="sudo"
		$sudo apt-get update -qq
		DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
			gettext >/dev/null
		return
	done
}

# Configures the build folder $1 with the benchmarks on, unless it is.
configure_bench() {
	if [ ! -f "$1/build.ninja" ]; then
		cmake -S . -B "$1" -G Ninja -DLE_BENCH=ON >/dev/null
	fi
}

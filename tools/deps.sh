#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, quietly, and
# only when something is missing. Sourced by run.sh and test.sh.
le_install_deps() {
	local packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
		libgtest-dev libgmock-dev googletest libbenchmark-dev dbus dbus-bin dbus-daemon
		libdbus-1-dev
		shared-mime-info xdg-utils gettext libgettextpo-dev
		# The text view tests under a fuller font setup.
		fonts-dejavu-core fonts-urw-base35 gsfonts fonts-droid-fallback fonts-dejavu-extra
		fonts-noto-mono
		# and under another default family than DejaVu: Open Sans, the
		# design Noto Sans grew from, at a fiftieth of fonts-noto-core's size.
		fonts-open-sans
		# The desktop tests: validating the entry and the AppStream data,
		# the MIME database as gio reads it, the Debian package's dependencies.
		# and a private X server to look at the window's class and icon.
		desktop-file-utils appstream libglib2.0-bin dpkg-dev file xvfb x11-utils)
	local missing=()
	local p
	for p in "${packages[@]}"; do
		dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
	done
	[ ${#missing[@]} -eq 0 ] && return 0
	echo "Installing: ${missing[*]}"
	local sudo=""
	[ "$(id -u)" -ne 0 ] && sudo="sudo"
	$sudo apt-get update -qq
	DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# le_build DIR [cmake options...]: configures once, then builds everything.
le_build() {
	local dir=$1
	shift
	if [ ! -f "$dir/build.ninja" ]; then
		# A compiler cache, where one is installed, makes rebuilds of several
		# build folders (plain, sanitized, release) cheap.
		local launcher=()
		command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
		cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
	fi
	cmake --build "$dir" -- -j"$(nproc)"
}

#!/bin/sh
# mime-default.sh add|remove FOLDER ENTRY TYPE...
#
# Makes the desktop entry ENTRY (korvane-localeeditor.desktop) the default
# application for each TYPE in FOLDER/mimeapps.list, the file under
# $XDG_DATA_DIRS/applications where the desktop's tools (xdg-mime, gio) look
# for a distribution's defaults; or takes those lines out again.
#
# The file is shared: other programs, an administrator or, in
# ~/.local/share/applications, the user may have written it. So it is never
# replaced: "add" only adds a line for a type that has no default yet, and
# "remove" only takes out lines that still name ENTRY, and the file only
# when nothing else is left in it. The new file takes the old one's place
# in one rename, so a failure leaves the old file as it was.
set -eu

if [ $# -lt 4 ] || { [ "$1" != add ] && [ "$1" != remove ]; }; then
	echo "usage: $0 add|remove FOLDER ENTRY TYPE..." >&2
	exit 2
fi
action=$1
folder=$2
entry=$3
shift 3
list="$folder/mimeapps.list"

[ "$action" = remove ] && [ ! -f "$list" ] && exit 0
mkdir -p "$folder"
# A list kept elsewhere and linked here (as dotfile managers do) is written
# where it lies, so the link stays.
linked=no
if [ -L "$list" ]; then
	linked=yes
	list=$(readlink -f "$list")
fi
new=$(mktemp "$(dirname "$list")/.mimeapps.list.XXXXXX")
trap 'rm -f "$new"' EXIT

# The types travel to awk as one space-separated list (types hold no spaces).
source=/dev/null
[ -f "$list" ] && source=$list
awk -v action="$action" -v entry="$entry" -v types="$*" '
	function flush_missing(   i) {
		for (i = 1; i <= count; i++)
			if (!(wanted[i] in seen))
				print wanted[i] "=" entry ";"
		flushed = 1
	}
	# Blank lines are held back so that added lines join the end of their
	# group, not the gap before the next one.
	function flush_blanks() {
		for (; blanks > 0; blanks--)
			print ""
	}
	BEGIN {
		count = split(types, wanted, " ")
		section = ""
	}
	/^[ \t]*$/ {
		blanks++
		next
	}
	/^\[/ {
		if (action == "add" && section == "[Default Applications]" && !flushed)
			flush_missing()
		flush_blanks()
		section = $0
		print
		next
	}
	section == "[Default Applications]" {
		split($0, pair, "=")
		type = pair[1]
		sub(/[ \t]+$/, "", type)
		if (action == "remove" && $0 == type "=" entry ";") {
			for (i = 1; i <= count; i++)
				if (wanted[i] == type)
					next
		}
		seen[type] = 1
	}
	{
		flush_blanks()
		print
	}
	END {
		if (action == "add" && !flushed) {
			if (section != "[Default Applications]") {
				if (NR > 0)
					print ""
				print "[Default Applications]"
			}
			flush_missing()
		}
		flush_blanks()
	}
' "$source" >"$new"

# A file left holding only the empty group this script made goes too (not
# one a link points at: the link would dangle).
if [ "$action" = remove ] && [ $linked = no ] && ! grep -qv '^\[Default Applications\]$\|^$' "$new"; then
	rm -f "$list"
	exit 0
fi
if [ -f "$list" ]; then
	chmod --reference="$list" "$new"
else
	chmod 644 "$new"
fi
mv "$new" "$list"
trap - EXIT

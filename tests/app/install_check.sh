#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks it the way a desktop
# finds a program: the desktop entry passes desktop-file-validate, its Exec
# names the installed binary, and its Icon name resolves in the installed
# hicolor theme (pyxdg's lookup, which follows the icon theme rules) in both
# sizes, and only because of this installation.
# Usage: install_check.sh BUILD_DIR. Exit 77 (skipped) when a checker is
# missing, unless VELMORA_REQUIRE_CHECKERS is set.
set -euo pipefail
build=$(realpath "$1")
python=/usr/bin/python3

missing() {
  echo "missing checker: $1" >&2
  [ -n "${VELMORA_REQUIRE_CHECKERS:-}" ] && exit 1
  exit 77
}
command -v desktop-file-validate >/dev/null || missing "desktop-file-validate (desktop-file-utils)"
"$python" -c 'import xdg.IconTheme' 2>/dev/null || missing "pyxdg (python3-xdg)"
[ -f /usr/share/icons/hicolor/index.theme ] || missing "the hicolor theme (hicolor-icon-theme)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
entry=$prefix/share/applications/velmora.desktop

fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$entry" || fail "the installed desktop entry is not valid"
# The validator must be able to refuse: an entry without its type is invalid.
sed '/^Type=/d' "$entry" >"$work/broken.desktop"
if desktop-file-validate "$work/broken.desktop" >/dev/null 2>&1; then
  fail "desktop-file-validate accepted an entry without Type"
fi

# Looks the entry's icon up with only the given data folders; prints the
# file found for each size (16, 32), or "none".
lookup() {
  HOME=$work XDG_DATA_HOME=$work/no-data XDG_DATA_DIRS=$1 "$python" - "$entry" <<'EOF'
import sys
from xdg.DesktopEntry import DesktopEntry
from xdg.IconTheme import getIconPath
icon = DesktopEntry(sys.argv[1]).getIcon()
for size in (16, 32):
    print(getIconPath(icon, size, "hicolor", ["png"]) or "none")
EOF
}

sizes=(16 32)
found=($(lookup "$prefix/share:/usr/share"))
for i in 0 1; do
  size=${sizes[$i]}
  expected=$prefix/share/icons/hicolor/${size}x${size}/apps/velmora.png
  [ "${found[$i]}" = "$expected" ] || fail "icon at $size px resolved to ${found[$i]}, not $expected"
  # The PNG's own header must say the size its folder promises.
  actual=$("$python" -c 'import struct, sys; d = open(sys.argv[1], "rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$expected")
  [ "$actual" = "${size}x${size}" ] || fail "$expected is $actual"
done
# Without this installation the name must not resolve.
without=($(lookup /usr/share))
[ "${without[*]}" = "none none" ] || fail "the icon resolved without the installation: ${without[*]}"

exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
echo "installed entry, icon (16, 32) and binary check out"

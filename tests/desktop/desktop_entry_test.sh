#!/usr/bin/env bash
# The desktop entry as make install-desktop writes it, into a scratch home: it validates, its
# icons are there at their sizes, it starts the built program, and uninstall removes it all.
set -u
bin=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/share
passed=0 failed=0
check() {
    if eval "$2"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../desktop/install.sh" install "$bin" >/dev/null
entry=$home/share/applications/vorl.desktop
check "entry written" '[ -f "$entry" ]'
check "entry validates" 'desktop-file-validate "$entry"'
check "Exec runs the built program with %f" 'grep -qx "Exec=\"$(cd "$bin" && pwd)/vorlzut\" %f" "$entry"'
for size in 48 128 256; do
    png=$home/share/icons/hicolor/${size}x${size}/apps/vorl.png
    check "icon $size" '[ "$(od -An -tu1 -j16 -N8 "$png" | awk "{print \$3*256+\$4, \$7*256+\$8}")" = "$size $size" ]'
done
check "svg icon" 'grep -q "<svg" "$home/share/icons/hicolor/scalable/apps/vorl.svg"'
"$here/../../desktop/install.sh" uninstall >/dev/null
check "uninstall removes the entry" '[ ! -e "$entry" ]'
check "uninstall removes the icons" '[ -z "$(find "$home/share/icons" -name "vorl*")" ]'
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

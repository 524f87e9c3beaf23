#!/usr/bin/env bash
# The desktop entry as make install-desktop writes it, into a scratch home: it validates, its
# icons are there at their sizes, it starts the built program, it is offered for text files
# without taking them or folders over from the handlers already there, and uninstall removes it
# all.
set -u
bin=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
here=$(cd "$(dirname "$0")" && pwd)
install_sh=$here/../../desktop/install.sh
passed=0 failed=0
check() {
    if eval "$2"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

# A scratch home over a scratch system: nothing of the machine's own desktop counts.
new_home() {
    home=$root/$1
    mkdir -p "$home/system/applications" "$home/etc-xdg"
    export HOME=$home XDG_DATA_HOME=$home/share XDG_CONFIG_HOME=$home/config
    export XDG_DATA_DIRS=$home/system XDG_CONFIG_DIRS=$home/etc-xdg
    unset XDG_CURRENT_DESKTOP
    entry=$home/share/applications/vorl.desktop
}
# A system application handling TYPE, as a package installs it.
system_app() {
    printf '[Desktop Entry]\nType=Application\nName=%s\nExec=true %%f\nMimeType=%s;\n' \
        "$1" "$2" >"$home/system/applications/$1.desktop"
    update-desktop-database -q "$home/system/applications"
}
default_of() {
    LC_ALL=C gio mime "$1" 2>/dev/null | sed -n 's/^Default application for [^:]*: //p'
}
recommended_of() {
    LC_ALL=C gio mime "$1" 2>/dev/null | awk '
        /^Recommended applications:/ { r = 1; next }
        /^[^\t]/ { r = 0 }
        r { sub(/^\t/, ""); print }'
}

check "gio is installed" 'command -v gio >/dev/null'

# A desktop with a text editor and a file manager, and no mimeapps.list of the user's.
new_home desktop
system_app other-editor text/plain
system_app other-files inode/directory
"$install_sh" install "$bin" >/dev/null
check "entry written" '[ -f "$entry" ]'
check "entry validates" 'desktop-file-validate "$entry"'
check "Exec runs the built program with %f" 'grep -qx "Exec=\"$(cd "$bin" && pwd)/vorlzut\" %f" "$entry"'
for size in 48 128 256; do
    png=$home/share/icons/hicolor/${size}x${size}/apps/vorl.png
    check "icon $size" '[ "$(od -An -tu1 -j16 -N8 "$png" | awk "{print \$3*256+\$4, \$7*256+\$8}")" = "$size $size" ]'
done
check "svg icon" 'grep -q "<svg" "$home/share/icons/hicolor/scalable/apps/vorl.svg"'
check "text files still open in the editor" '[ "$(default_of text/plain)" = other-editor.desktop ]'
check "VORL offered for text files" 'recommended_of text/plain | grep -qx vorl.desktop'
check "folders still open in the file manager" \
    '[ "$(default_of inode/directory)" = other-files.desktop ]'
check "VORL not offered for folders" '! LC_ALL=C gio mime inode/directory | grep -q vorl.desktop'
"$install_sh" install "$bin" >/dev/null
check "a second install writes the default once" \
    '[ "$(grep -c "^text/plain=" "$home/config/mimeapps.list")" = 1 ]'
check "a second install keeps the editor" '[ "$(default_of text/plain)" = other-editor.desktop ]'
"$install_sh" uninstall >/dev/null
check "uninstall removes the entry" '[ ! -e "$entry" ]'
check "uninstall removes the icons" '[ -z "$(find "$home/share/icons" -name "vorl*")" ]'
check "uninstall keeps the editor" '[ "$(default_of text/plain)" = other-editor.desktop ]'

# A user's own choice of default is left alone, and so is the rest of the file.
new_home chosen
system_app other-editor text/plain
system_app second-editor text/plain
mkdir -p "$home/config"
printf '%s\n' '[Added Associations]' 'image/png=other-editor.desktop;' '' \
    '[Default Applications]' 'text/plain=second-editor.desktop' >"$home/config/mimeapps.list"
cp "$home/config/mimeapps.list" "$root/chosen.list"
"$install_sh" install "$bin" >/dev/null
check "the user's mimeapps.list unchanged" 'cmp -s "$home/config/mimeapps.list" "$root/chosen.list"'
check "the user's default kept" '[ "$(default_of text/plain)" = second-editor.desktop ]'
check "VORL offered beside the user's default" 'recommended_of text/plain | grep -qx vorl.desktop'

# With no other text handler VORL would be the only one, hence the default: it is not offered.
new_home bare
"$install_sh" install "$bin" >/dev/null
check "entry written without a text handler" '[ -f "$entry" ]'
check "entry without a text handler validates" 'desktop-file-validate "$entry"'
check "no default for text files" '[ -z "$(default_of text/plain)" ]'
check "no default for folders" '[ -z "$(default_of inode/directory)" ]'

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

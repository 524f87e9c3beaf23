#!/usr/bin/env bash
# The desktop entry as make install-desktop writes it, into a scratch home: it validates, speaks
# Russian, its icons are there at their sizes, it starts the built program, it takes no file type
# from the handlers already there (not even from one whose entry sorts after it) and leaves the
# user's defaults alone, and uninstall removes it all.
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

check "gio is installed" 'command -v gio >/dev/null'

# A desktop with a text editor whose entry sorts after ours, a file manager, and no
# mimeapps.list of the user's.
new_home desktop
system_app zz-editor text/plain
system_app other-files inode/directory
"$install_sh" install "$bin" >/dev/null
check "entry written" '[ -f "$entry" ]'
check "entry validates" 'desktop-file-validate "$entry"'
check "Exec runs the built program with %f" 'grep -qx "Exec=\"$(cd "$bin" && pwd)/vorlzut\" %f" "$entry"'
check "Russian name and comment" 'grep -q "^Name\[ru\]=." "$entry" && grep -q "^Comment\[ru\]=.*профиль" "$entry"'
for size in 16 24 32 48 128 256; do
    png=$home/share/icons/hicolor/${size}x${size}/apps/vorl.png
    check "icon $size" '[ "$(od -An -tu1 -j16 -N8 "$png" | awk "{print \$3*256+\$4, \$7*256+\$8}")" = "$size $size" ]'
done
check "svg icon" 'grep -q "<svg" "$home/share/icons/hicolor/scalable/apps/vorl.svg"'
check "text files still open in the editor" '[ "$(default_of text/plain)" = zz-editor.desktop ]'
check "folders still open in the file manager" \
    '[ "$(default_of inode/directory)" = other-files.desktop ]'
check "VORL takes no file type" '! LC_ALL=C gio mime text/plain | grep -q vorl.desktop &&
    ! LC_ALL=C gio mime inode/directory | grep -q vorl.desktop'
check "the user's defaults left alone" '[ ! -e "$home/config/mimeapps.list" ]'
"$install_sh" uninstall >/dev/null
check "uninstall removes the entry" '[ ! -e "$entry" ]'
check "uninstall removes the icons" '[ -z "$(find "$home/share/icons" -name "vorl*")" ]'

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

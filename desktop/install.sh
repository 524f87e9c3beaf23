#!/usr/bin/env bash
# Puts VORL into the current user's application menu, or takes it out again.
# Usage: desktop/install.sh install BIN_DIR   (BIN_DIR holds vorlzut and gen_icon)
#        desktop/install.sh uninstall
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}
apps=$data/applications
icons=$data/icons/hicolor
entry=$apps/vorl.desktop

config=${XDG_CONFIG_HOME:-$HOME/.config}
mimeapps=$config/mimeapps.list
# VORL is offered for text files but must never open them by default. An entry in the user's
# own folder outranks every system one, so without a default of the user's the desktop would
# pick VORL: the handler that opens text files now is written down as the default instead.
text_type=text/plain

refresh() {
    command -v update-desktop-database >/dev/null && update-desktop-database -q "$apps" || true
    command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$icons" || true
}

# The application the desktop opens a type with, VORL left out (empty when there is none):
# GLib's choice, which the common file managers follow, else xdg-mime's. Should a packaged VORL
# be that choice, the first other application offered for the type stands in.
handler_for() {
    local out=""
    if command -v gio >/dev/null; then
        out=$(LC_ALL=C gio mime "$1" 2>/dev/null |
            sed -n -e 's/^Default application for [^:]*: //p' -e 's/^\t//p') || true
    elif command -v xdg-mime >/dev/null; then
        out=$(xdg-mime query default "$1" 2>/dev/null) || true
    fi
    printf '%s\n' "$out" | grep -v -x -e 'vorl.desktop' -e '' | head -n 1 || true
}

# Whether the user's mimeapps.list names a default for the type.
has_user_default() {
    [ -f "$mimeapps" ] && awk -v key="$1=" '
        /^\[/ { group = $0; next }
        group == "[Default Applications]" && index($0, key) == 1 { found = 1 }
        END { exit !found }' "$mimeapps"
}

# Adds TYPE=APP to the [Default Applications] group of the user's mimeapps.list, keeping
# everything else in the file as it was (written over in place, so a link stays a link).
set_user_default() {
    mkdir -p "$config"
    [ -f "$mimeapps" ] || : >"$mimeapps"
    awk -v line="$1=$2" '
        { print }
        $0 == "[Default Applications]" && !done { print line; done = 1 }
        END { if (!done) { if (NR) print ""; print "[Default Applications]"; print line } }' \
        "$mimeapps" >"$tmp/mimeapps.list"
    cat "$tmp/mimeapps.list" >"$mimeapps"
}

case "${1:-}" in
install)
    bin=$(cd "${2:?BIN_DIR}" && pwd)
    mkdir -p "$apps" "$icons/scalable/apps"
    for size in 48 128 256; do mkdir -p "$icons/${size}x${size}/apps"; done
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    QT_QPA_PLATFORM=offscreen "$bin/gen_icon" "$tmp"
    for size in 48 128 256; do
        install -m 644 "$tmp/vorl-$size.png" "$icons/${size}x${size}/apps/vorl.png"
    done
    install -m 644 "$tmp/vorl.svg" "$icons/scalable/apps/vorl.svg"
    # The text handler as it is without VORL (an earlier install taken out first).
    rm -f "$entry"
    refresh
    text_handler=""
    has_user_default "$text_type" || text_handler=$(handler_for "$text_type")
    # The program path is quoted for the Exec key: a space in it must not split the command.
    exec_path=$(printf '%s' "$bin/vorlzut" | sed -e 's/[\\"`$]/\\\\&/g' -e 's/%/%%/g')
    # Without another text handler VORL would become the default one: then it is not offered
    # for text files at all (a file manager's "Open with other application" still lists it).
    offer_text=1
    has_user_default "$text_type" || [ -n "$text_handler" ] || offer_text=0
    awk -v path="\"$exec_path\"" -v offer="$offer_text" '
        { sub(/@VORLZUT@/, path) }
        /^MimeType=/ && !offer { next }
        { print }' "$here/vorl.desktop.in" >"$tmp/vorl.desktop"
    if [ "$offer_text" = 1 ] && ! has_user_default "$text_type"; then
        set_user_default "$text_type" "$text_handler"
    fi
    install -m 644 "$tmp/vorl.desktop" "$entry"
    refresh
    echo "Installed $entry"
    ;;
uninstall)
    rm -f "$entry" "$icons/scalable/apps/vorl.svg"
    for size in 48 128 256; do rm -f "$icons/${size}x${size}/apps/vorl.png"; done
    refresh
    echo "Removed $entry"
    ;;
*)
    echo "Usage: $0 install BIN_DIR | uninstall" >&2
    exit 2
    ;;
esac

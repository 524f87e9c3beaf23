#!/usr/bin/env bash
# Puts VORL into the current user's application menu, or takes it out again.
# Usage: desktop/install.sh install BIN_DIR   (BIN_DIR holds vorlzut and gen_icon)
#        desktop/install.sh uninstall
# The entry claims no file type, so it never becomes the default application for one and the
# user's mimeapps.list is neither read nor written.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}
apps=$data/applications
icons=$data/icons/hicolor
entry=$apps/vorl.desktop
sizes="16 24 32 48 128 256"

refresh() {
    command -v update-desktop-database >/dev/null && update-desktop-database -q "$apps" || true
    command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$icons" || true
}

case "${1:-}" in
install)
    bin=$(cd "${2:?BIN_DIR}" && pwd)
    mkdir -p "$apps" "$icons/scalable/apps"
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    QT_QPA_PLATFORM=offscreen "$bin/gen_icon" "$tmp"
    for size in $sizes; do
        mkdir -p "$icons/${size}x${size}/apps"
        install -m 644 "$tmp/vorl-$size.png" "$icons/${size}x${size}/apps/vorl.png"
    done
    install -m 644 "$tmp/vorl.svg" "$icons/scalable/apps/vorl.svg"
    # The program path is quoted for the Exec key: a space in it must not split the command.
    exec_path=$(printf '%s' "$bin/vorlzut" | sed -e 's/[\\"`$]/\\\\&/g' -e 's/%/%%/g')
    awk -v path="\"$exec_path\"" '{ sub(/@VORLZUT@/, path); print }' \
        "$here/vorl.desktop.in" >"$tmp/vorl.desktop"
    install -m 644 "$tmp/vorl.desktop" "$entry"
    refresh
    echo "Installed $entry"
    ;;
uninstall)
    rm -f "$entry" "$icons/scalable/apps/vorl.svg"
    for size in $sizes; do rm -f "$icons/${size}x${size}/apps/vorl.png"; done
    refresh
    echo "Removed $entry"
    ;;
*)
    echo "Usage: $0 install BIN_DIR | uninstall" >&2
    exit 2
    ;;
esac

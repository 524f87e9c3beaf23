#!/usr/bin/env bash
# The Debian package as make package builds it, from the release build: the same bytes from two
# packings, its files, its control data, its licence and lintian's verdict; then, unpacked into a
# scratch root, the installed program runs on an installed sample and names the installed
# folders, and its menu entry takes no file type over.
# Usage: package_test.sh SOURCE_DIR RELEASE_BUILD_DIR VERSION
set -u
src=$(cd "$1" && pwd)
build=$2
version=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0 failed=0
check() {
    if eval "$2"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

# The release build make test has just made, or one of its own when there is none yet.
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORL_BUILD_TESTS=OFF \
        >"$scratch/configure.log" 2>&1 || { cat "$scratch/configure.log"; exit 1; }
fi
cmake --build "$build" -j "$(nproc)" >"$scratch/build.log" 2>&1 || { tail -50 "$scratch/build.log"; exit 1; }
# Packed twice, the second time after the packed files' times moved on and with the last
# commit's time given as SOURCE_DATE_EPOCH: the first packing takes that time by itself, so the
# bytes are the same.
pack() {
    cpack --config "$build/CPackConfig.cmake" -B "$1" >"$scratch/cpack.log" 2>&1 ||
        { cat "$scratch/cpack.log"; exit 1; }
}
arch=$(dpkg --print-architecture)
name=vorl_${version}_${arch}.deb
epoch=$(git -C "$src" log -1 --format=%ct)
(unset SOURCE_DATE_EPOCH && pack "$scratch/out")
deb=$scratch/out/$name
[ -f "$deb" ] || { echo "FAILED: no $deb"; ls "$scratch/out"; exit 1; }
touch "$build/bin/vorlzut" "$build/package/"*.gz "$build/package/vorl.desktop" "$build/package/icons/"*
SOURCE_DATE_EPOCH=$epoch pack "$scratch/again"
check "two packings give the same bytes" 'cmp "$deb" "$scratch/again/$name"'
check "time stamps of the last commit" '[ "$(dpkg-deb --fsys-tarfile "$deb" | TZ=UTC tar -tv --full-time |
    awk "{print \$4, \$5}" | sort -u)" = "$(TZ=UTC date -d "@$epoch" "+%F %T")" ]'

# Files, without the folders that hold them; every one owned by root and under /usr.
dpkg-deb -c "$deb" >"$scratch/contents"
grep -v '^d' "$scratch/contents" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' |
    sort >"$scratch/files"
{
    printf '%s\n' ./usr/bin/vorlzut ./usr/share/applications/vorl.desktop \
        ./usr/share/doc/vorl/README.md ./usr/share/doc/vorl/changelog.gz \
        ./usr/share/doc/vorl/copyright ./usr/share/icons/hicolor/scalable/apps/vorl.svg \
        ./usr/share/man/man1/vorlzut.1.gz
    echo ./usr/share/lintian/overrides/vorl
    for size in 16 24 32 48 128 256; do echo "./usr/share/icons/hicolor/${size}x${size}/apps/vorl.png"; done
    (cd "$src/samples" && find . -type f | sed 's|^\./|./usr/share/vorl/Data/|')
} | sort >"$scratch/expected"
check "file list" 'diff "$scratch/expected" "$scratch/files"'
check "owned by root" '[ -z "$(awk "\$2 != \"root/root\"" "$scratch/contents")" ]'
check "nothing outside /usr" '[ -z "$(awk "{print \$6}" "$scratch/contents" | grep -v -e "^\./$" -e "^\./usr/")" ]'

control() { dpkg-deb -f "$deb" "$1"; }
check "package name" '[ "$(control Package)" = vorl ]'
check "version from the project" '[ "$(control Version)" = "$version" ]'
check "architecture" '[ "$(control Architecture)" = "$arch" ]'
# Computed from the binary: the Qt libraries and the C library, with versions.
check "computed dependencies" 'control Depends | grep -q "libqt6widgets6 (>= " && control Depends | grep -q "libc6 (>= "'
check "run-time dependencies" 'control Depends | grep -q qt6-qpa-plugins && control Depends | grep -q fonts-liberation2'
# The desktop database and icon caches are the business of their own triggers; a package that
# set a default application would ship a mimeapps.list or defaults.list.
check "no maintainer scripts" '[ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sort | tr "\n" " ")" = "./control ./md5sums " ]'
check "no default-application list" '! grep -q -e mimeapps.list -e defaults.list "$scratch/files"'

# Lintian down to its notes: nothing but the overridden note that the sample answer files (*.txt)
# look like documentation, which they are not, and no override left unused.
lintian -I --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>&1
lintian_status=$?
sed -e "/running with root privileges/d" -e "s/^/lintian: /" "$scratch/lintian"
check "lintian clean" '[ "$lintian_status" = 0 ] &&
    ! grep -q -e "^[EW]:" -e "usr/share/vorl/Data" -e "unused-override" "$scratch/lintian"'

root=$scratch/root
dpkg-deb -x "$deb" "$root"
entry=$root/usr/share/applications/vorl.desktop
check "desktop entry validates" 'desktop-file-validate "$entry"'
check "desktop entry starts the program on the PATH" 'grep -qx "Exec=vorlzut %f" "$entry"'
# Installed beside a text editor whose entry sorts after ours, the editor keeps text files.
desk=$scratch/desktop
mkdir -p "$desk/system/applications"
cp "$entry" "$desk/system/applications/"
printf '[Desktop Entry]\nType=Application\nName=Z\nExec=true %%f\nMimeType=text/plain;\n' \
    >"$desk/system/applications/zz-editor.desktop"
update-desktop-database -q "$desk/system/applications"
# gio lists an entry only when its program is on the PATH.
desktop_default() {
    env -u XDG_CURRENT_DESKTOP PATH="$root/usr/bin:$PATH" HOME="$desk" XDG_CONFIG_HOME="$desk" \
        XDG_CONFIG_DIRS="$desk" XDG_DATA_HOME="$desk" XDG_DATA_DIRS="$desk/system" LC_ALL=C \
        gio mime "$1" | sed -n "s/^Default application for [^:]*: //p"
}
check "text files keep their editor" '[ "$(desktop_default text/plain)" = zz-editor.desktop ]'
# Documents compressed without a name or a time in their header.
gzip_plain() { [ "$(od -An -tu1 -j3 -N5 "$1" | tr -s " ")" = " 0 0 0 0 0" ]; }
check "bare gzip headers" 'gzip_plain "$root/usr/share/man/man1/vorlzut.1.gz" &&
    gzip_plain "$root/usr/share/doc/vorl/changelog.gz"'
# The copyright file is machine-readable and gives every file the MIT licence's text of LICENSE.
copyright=$root/usr/share/doc/vorl/copyright
check "copyright format" '[ "$(head -n 1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ]'
check "every file under MIT" 'awk -v RS= "/(^|\n)Files: \\*\n/ && /\nLicense: MIT(\n|\$)/ { n++ } END { exit n != 1 }" "$copyright"'
check "the MIT licence text" 'diff <(sed -n "/^ Permission/,\$ { s/^ \.\$//; s/^ //; p }" "$copyright") \
    <(sed -n "/^Permission/,\$p" "$src/LICENSE")'
check "manual page" 'zcat "$root/usr/share/man/man1/vorlzut.1.gz" | grep -q "^\.TH VORLZUT 1 .*vorl $version"'
check "binary stripped" '[ -z "$(readelf -S "$root/usr/bin/vorlzut" | grep -e "\.debug_" -e "\.symtab")" ]'

# The unpacked program on an unpacked sample gives the profile the release build gives.
home=$scratch/home
mkdir -p "$home"
run() { env HOME="$home" XDG_CONFIG_HOME="$home/.config" "$@"; }
run "$root/usr/bin/vorlzut" --json "$root/usr/share/vorl/Data/petrova.txt" >"$scratch/installed.json" 2>"$scratch/err"
check "--json runs" '[ $? = 0 ] && [ ! -s "$scratch/err" ] && grep -q "\"answers\"" "$scratch/installed.json"'
run "$build/bin/vorlzut" --json "$src/samples/petrova.txt" >"$scratch/built.json"
check "--json as from the build" 'cmp -s "$scratch/built.json" "$scratch/installed.json"'
run "$root/usr/bin/vorlzut" --json "$root/usr/share/vorl/Data/Отдел продаж" >"$scratch/group.json"
check "--json on the sample group" '[ $? = 0 ] && grep -q "\"count\": *4" "$scratch/group.json"'

# Installed, the program opens the shared samples and saves into the user's documents; asking
# for help makes no folder.
help=$(run "$root/usr/bin/vorlzut" --help)
check "help names the shared samples" 'grep -qx "  answer files  $root/usr/share/vorl/Data" <<<"$help"'
check "help names the documents folder" 'grep -qx "  saved results $home/Documents/VORL/Results (made on the first save)" <<<"$help"'
check "help makes no folder" '[ ! -e "$home/Documents" ]'
# Every option of --help has its place in the manual page.
man=$(zcat "$root/usr/share/man/man1/vorlzut.1.gz" | sed 's/\\-/-/g')
for option in $(grep -o -e '--[a-z]\+' <<<"$help" | sort -u); do
    check "manual page has $option" 'grep -q -- "$option" <<<"$man"'
done

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

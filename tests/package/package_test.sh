#!/usr/bin/env bash
# The Debian package as make package builds it, from the release build: its files, its control
# data and lintian's verdict; then, unpacked into a scratch root, the installed program runs on
# an installed sample and names the installed folders.
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
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
arch=$(dpkg --print-architecture)
deb=$scratch/out/vorl_${version}_${arch}.deb
[ -f "$deb" ] || { echo "FAILED: no $deb"; ls "$scratch/out"; exit 1; }

# Files, without the folders that hold them; every one owned by root and under /usr.
dpkg-deb -c "$deb" >"$scratch/contents"
grep -v '^d' "$scratch/contents" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' |
    sort >"$scratch/files"
{
    printf '%s\n' ./usr/bin/vorlzut ./usr/share/applications/vorl.desktop \
        ./usr/share/doc/vorl/README.md ./usr/share/doc/vorl/changelog.gz \
        ./usr/share/doc/vorl/copyright ./usr/share/icons/hicolor/scalable/apps/vorl.svg \
        ./usr/share/man/man1/vorlzut.1.gz
    for size in 48 128 256; do echo "./usr/share/icons/hicolor/${size}x${size}/apps/vorl.png"; done
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

lintian --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>&1
lintian_status=$?
sed -e "/running with root privileges/d" -e "s/^/lintian: /" "$scratch/lintian"
check "lintian finds no error" '[ "$lintian_status" = 0 ] && ! grep -q "^E:" "$scratch/lintian"'

root=$scratch/root
dpkg-deb -x "$deb" "$root"
entry=$root/usr/share/applications/vorl.desktop
check "desktop entry validates" 'desktop-file-validate "$entry"'
check "desktop entry starts the program on the PATH" 'grep -qx "Exec=vorlzut %f" "$entry"'
check "offered for text files, never for folders" 'grep -qx "MimeType=text/plain;" "$entry"'
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

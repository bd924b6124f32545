#!/bin/sh
# Installs the build into a scratch prefix and lets the desktop's own tools judge the result:
# the desktop entry validates, the MIME database built from our package names the file types
# and offers the editor for them, the manual page renders without warnings; then builds the
# Debian package and reads its control data.
#   check-install.sh BUILD_DIR GUI(1|0)
# Exit 77 (skipped) when a tool it needs is missing.
set -eu
build=$1
gui=$2
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}
need desktop-file-validate update-mime-database update-desktop-database xdg-mime gio groff file
fail() { echo "FAIL: $*"; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/txrtool share/applications/quillmere.desktop share/mime/packages/quillmere.xml \
         share/man/man1/txrtool.1.gz share/icons/hicolor/scalable/apps/quillmere.svg; do
    [ -f "$prefix/$f" ] || fail "$f not installed"
done
[ "$gui" = 0 ] || [ -x "$prefix/bin/quillmere" ] || fail "bin/quillmere not installed"
for size in 16 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/quillmere.png
    file "$icon" | grep -q "PNG image data, $size x $size," || fail "icon $size: $(file "$icon")"
done
"$prefix/bin/txrtool" --help >/dev/null || fail "installed txrtool does not run"

out=$(desktop-file-validate "$prefix/share/applications/quillmere.desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"

update-mime-database "$prefix/share/mime"
update-desktop-database "$prefix/share/applications"
printf '1\r\n0\r\n#\r\n' >"$scratch/a.txr"
cp "$scratch/a.txr" "$scratch/a.txl"
# xdg-mime asks the desktop's own tool; without a desktop it falls back to file(1), which knows
# no shared-MIME-info packages, so a GNOME session (gio) is what is checked here.
query() {
    env -u XDG_DATA_HOME XDG_DATA_DIRS="$prefix/share" XDG_DATA_HOME="$scratch/none" \
        XDG_CONFIG_HOME="$scratch/none" XDG_CURRENT_DESKTOP=GNOME xdg-mime query "$@"
}
for ext in txr txl; do
    type=$(query filetype "$scratch/a.$ext")
    [ "$type" = "application/x-quillmere-$ext" ] || fail "xdg-mime names a.$ext '$type'"
    app=$(query default "application/x-quillmere-$ext")
    [ "$app" = quillmere.desktop ] || fail "xdg-mime offers '$app' for .$ext"
done

warnings=$(gzip -dc "$prefix/share/man/man1/txrtool.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"

if command -v cpack >/dev/null 2>&1 && command -v dpkg-shlibdeps >/dev/null 2>&1; then
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/deb" >/dev/null || fail "cpack"
    deb=$(ls "$scratch"/deb/quillmere_*_*.deb) || fail "no quillmere_<version>_<arch>.deb"
    control=$(dpkg -I "$deb")
    depends=$(printf '%s\n' "$control" | sed -n 's/^ Depends: //p')
    for lib in libc6 libstdc++6; do
        printf '%s' "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
    done
    [ "$gui" = 0 ] || printf '%s' "$depends" | grep -q libqt6widgets6 || fail "Depends lacks Qt: $depends"
    dpkg -c "$deb" | grep -q '\./usr/share/mime/packages/quillmere.xml$' || fail "package lacks the MIME package"
else
    echo "note: cpack or dpkg-shlibdeps missing, the Debian package is not checked"
fi
echo "installed files, desktop entry, file types, manual page and package checked"

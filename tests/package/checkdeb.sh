#!/bin/sh
# Builds the Debian package of a build folder with cpack into a scratch folder,
# unpacks it with dpkg -x and checks that the programs, the desktop entry and
# the icon are in place and that it depends on what Qt loads at run time.
# usage: checkdeb.sh BUILD_FOLDER
set -eu
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "checkdeb: $*" >&2
    exit 1
}

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    fail "cpack failed"
fi
set -- "$scratch"/out/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one package, found: $*"
deb=$1

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = orvanta ] || fail "package name: $(field Package)"
depends=$(field Depends)
for needed in libqt6svg6 qt6-translations-l10n qml6-module-qtwebengine libqt6webenginecore6 libqt6widgets6 libcurl4 libjpeg62-turbo; do
    case "$depends" in
    *"$needed"*) ;;
    *) fail "Depends lacks $needed: $depends" ;;
    esac
done

root=$scratch/root
dpkg -x "$deb" "$root"
for file in usr/bin/orvanta usr/bin/orvanta-cli; do
    [ -x "$root/$file" ] || fail "missing program /$file"
done
desktop=$root/usr/share/applications/org.orvanta.Orvanta.desktop
icon=$root/usr/share/icons/hicolor/scalable/apps/org.orvanta.Orvanta.svg
[ -f "$desktop" ] || fail "missing desktop entry"
[ -s "$icon" ] || fail "missing icon"
grep -qx 'Exec=orvanta' "$desktop" || fail "desktop entry does not start orvanta"
grep -qx 'Icon=org.orvanta.Orvanta' "$desktop" || fail "desktop entry names another icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop entry is not valid"
fi
# Nothing outside /usr, and the unpacked programs run.
[ "$(ls "$root")" = usr ] || fail "files outside /usr: $(ls "$root")"
"$root/usr/bin/orvanta" --version | grep -q '^orvanta ' || fail "orvanta --version"
"$root/usr/bin/orvanta-cli" --help >/dev/null || fail "orvanta-cli --help"
echo "package ok: $(basename "$deb")"

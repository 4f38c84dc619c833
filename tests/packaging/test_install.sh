#!/bin/sh
# Installs the build tree into a scratch folder (DESTDIR, prefix /usr as the package
# does) and checks one thing of the result:
#   tree          every file where the desktop and Debian expect it; Exec=, Path= and
#                 the help page
#   desktop-entry desktop-file-validate, and the keys the menu relies on
#   metainfo      appstreamcli validate (the installed tree: metainfo, entry, icons)
#   manpage       the manual page renders in section 6 without warnings; it and the
#                 help page both say that the termination signals save the settings
#   uninstall     tools/uninstall.sh removes a /usr/local installation with the folders
#                 it made, and leaves the prefix's own folders
# Usage: test_install.sh CHECK BUILD_DIR
set -eu
check=$1
build=$2
id=org.flindergame.Flinder

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

install_into() { # DESTDIR PREFIX
    DESTDIR=$1 cmake --install "$build" --prefix "$2" >"$scratch/install.log" 2>&1 ||
        { cat "$scratch/install.log" >&2; fail "cmake --install --prefix $2"; }
}

# Width and height of a PNG, from its header.
png_size() {
    od -An -tu1 -j16 -N8 "$1" |
        awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

root=$scratch/root
install_into "$root" /usr
desktop=$root/usr/share/applications/$id.desktop

case $check in
tree)
    expected="usr/games/flinder
usr/share/applications/$id.desktop
usr/share/doc/flinder/changelog.gz
usr/share/doc/flinder/copyright
usr/share/games/flinder/help/help.htm
usr/share/games/flinder/installed
usr/share/icons/hicolor/128x128/apps/$id.png
usr/share/icons/hicolor/16x16/apps/$id.png
usr/share/icons/hicolor/22x22/apps/$id.png
usr/share/icons/hicolor/24x24/apps/$id.png
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/32x32/apps/$id.png
usr/share/icons/hicolor/48x48/apps/$id.png
usr/share/icons/hicolor/64x64/apps/$id.png
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/lintian/overrides/flinder
usr/share/man/man6/flinder.6.gz
usr/share/metainfo/$id.metainfo.xml"
    actual=$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
    [ "$actual" = "$expected" ] || fail "installed files differ:
$actual"
    [ -x "$root/usr/games/flinder" ] || fail "the program is not executable"
    for size in 16 22 24 32 48 64 128 256; do
        got=$(png_size "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
        [ "$got" = "${size}x${size}" ] || fail "icon in ${size}x${size} is $got"
    done
    # From the menu the program starts in Path=, where "./help/help.htm" must be. Exec=
    # is a full path: root's PATH lacks /usr/games.
    path=$(sed -n 's/^Path=//p' "$desktop")
    [ "$path" = /usr/share/games/flinder ] || fail "Path=$path"
    [ -f "$root$path/help/help.htm" ] || fail "no help page below Path="
    exec=$(sed -n 's/^Exec=//p' "$desktop")
    [ "$exec" = /usr/games/flinder ] || fail "Exec=$exec"
    # The package's version is the project's; the changelog's latest entry names it.
    version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
    gzip -dc "$root/usr/share/doc/flinder/changelog.gz" | head -n 1 |
        grep -qF "flinder ($version) " || fail "the changelog does not begin with $version"
    # The entry follows the prefix chosen at install time.
    install_into "$scratch/opt" /opt/flinder
    entry=$scratch/opt/opt/flinder/share/applications/$id.desktop
    path=$(sed -n 's/^Path=//p' "$entry")
    [ "$path" = /opt/flinder/share/games/flinder ] || fail "Path=$path with prefix /opt/flinder"
    [ -f "$scratch/opt$path/help/help.htm" ] || fail "no help page below Path= (/opt)"
    exec=$(sed -n 's/^Exec=//p' "$entry")
    [ -x "$scratch/opt$exec" ] || fail "Exec=$exec with prefix /opt/flinder"
    # So does the manual page.
    page=$(gzip -dc "$scratch/opt/opt/flinder/share/man/man6/flinder.6.gz")
    for named in "$exec" "$path/help/help.htm" "$path/installed"; do
        echo "$page" | grep -qF "$named" || fail "the manual page does not name $named"
    done
    ;;
desktop-entry)
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate reports: $out"
    for line in "Categories=Game;ArcadeGame;" "Icon=$id" "StartupNotify=true" \
        "Type=Application" "Terminal=false"; do
        grep -qxF "$line" "$desktop" || fail "missing $line"
    done
    grep -q '^Name\[ja\]=.' "$desktop" || fail "missing Name[ja]"
    ;;
metainfo)
    # validate-tree checks the metainfo together with the desktop entry and the icons
    # it points to. Pedantic remarks (the capital letter in our id) are allowed.
    out=$(appstreamcli validate-tree --no-net "$root" 2>&1) || fail "appstreamcli: $out"
    echo "$out"
    if echo "$out" | grep -qE '^ *[EWI]: '; then fail "appstreamcli reports issues"; fi
    out=$(appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" 2>&1) ||
        fail "appstreamcli validate: $out"
    if echo "$out" | grep -qE '^ *[EWI]: '; then fail "appstreamcli validate: $out"; fi
    grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
        "$root/usr/share/metainfo/$id.metainfo.xml" || fail "launchable is not our entry"
    ;;
manpage)
    page=$root/usr/share/man/man6/flinder.6.gz
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 MAN_DISABLE_SECCOMP=1 man --warnings -l "$page" 2>"$scratch/err") ||
        fail "man -l: $(cat "$scratch/err")"
    [ ! -s "$scratch/err" ] || fail "man -l warns: $(cat "$scratch/err")"
    echo "$out" | head -n 1 | grep -q '^FLINDER(6) ' || fail "not a section-6 page: $out"
    echo "$out" | grep -q 'flinder - puzzle-action game' || fail "no NAME line: $out"
    echo "$out" | grep -q 'Flinder/' || fail "the per-user folder is not named: $out"
    help=$root/usr/share/games/flinder/help/help.htm
    for signal in SIGTERM SIGINT SIGHUP; do
        echo "$out" | grep -q "$signal" || fail "the manual page does not name $signal"
        [ "$(grep -c "$signal" "$help")" -ge 2 ] ||
            fail "the help page does not name $signal in both languages"
    done
    ;;
uninstall)
    fresh=$scratch/fresh
    mkdir -p "$fresh/usr/local/bin" "$fresh/usr/local/games" "$fresh/usr/local/share/man"
    before=$(cd "$fresh" && find . | LC_ALL=C sort)
    install_into "$fresh" /usr/local
    DESTDIR=$fresh sh "$(dirname "$0")/../../tools/uninstall.sh" "$build"
    after=$(cd "$fresh" && find . | LC_ALL=C sort)
    [ "$after" = "$before" ] || fail "left after uninstalling: $after"
    ;;
*)
    fail "unknown check $check"
    ;;
esac
echo "ok: $check"

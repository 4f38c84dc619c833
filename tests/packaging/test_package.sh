#!/bin/sh
# Builds the Debian package from the build tree, checks its control fields, unpacks it
# (dpkg-deb -x) and runs the unpacked program as an unprivileged user on the offscreen
# platform: it must keep its settings in that user's settings folder, since the
# program's folder is not writable, and end cleanly on SIGTERM.
# Usage: test_package.sh BUILD_DIR
set -eu
build=$1

scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# --- the package ---
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack"; }
set -- "$scratch"/out/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one .deb, got: $*"
deb=$1
echo "package: $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = flinder ] || fail "Package: $(field Package)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "Architecture: $(field Architecture)"
depends=$(field Depends)
echo "Depends: $depends"
for p in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-urw-base35 \
    fonts-ipafont-gothic xfonts-shinonome; do
    # A whole name in the comma-separated list, with or without a version.
    echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF "$p" ||
        fail "Depends lacks $p"
done

# --- unpacked, as an installed copy ---
root=$scratch/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/flinder
[ -x "$program" ] || fail "no /usr/bin/flinder in the package"
datadir=$(sed -n 's/^Path=//p' "$root/usr/share/applications/org.flindergame.Flinder.desktop")
[ "$datadir" = /usr/share/flinder ] || fail "Path=$datadir"
[ -f "$root$datadir/help/help.htm" ] || fail "no help page in the package"

home=$scratch/home
mkdir -p "$home/run"
chmod 700 "$home/run"
if [ "$(id -u)" -eq 0 ]; then
    # Root may write anywhere: run as nobody, for whom the unpacked tree (root's) is
    # read-only, as /usr is for a user.
    chown -R nobody:nogroup "$home"
    as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups --"
    user=nobody
else
    chmod -R a-w "$root"
    as_user=""
    user=$(id -un)
fi
settings=$home/.config/Flinder/flinder.ini

# Starts the program as the menu does (in its data folder), waits until it is up and
# handles SIGTERM, sends it and waits for the end; the exit code goes to $rc.
run_and_terminate() {
    # The leak checker cannot work as another user here (and the suppressions file may
    # be unreadable for it); the other sanitizer checks stay on.
    # shellcheck disable=SC2086
    (cd "$root$datadir" && exec $as_user env HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" LSAN_OPTIONS= "$program") &
    pid=$!
    tries=0
    while :; do
        if [ "$(readlink "/proc/$pid/exe" 2>/dev/null || true)" = "$program" ]; then
            mask=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$pid/status" 2>/dev/null || true)
            # SIGTERM is signal 15: bit 14 of the mask.
            [ -n "$mask" ] && [ $(((0x$mask >> 14) & 1)) -eq 1 ] && break
        fi
        kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; fail "the program ended by itself"; }
        tries=$((tries + 1))
        [ $tries -lt 600 ] || { kill -KILL "$pid"; fail "the program did not come up"; }
        sleep 0.05
    done
    # A signal that comes before the window is shown waits for it; let it reach the
    # title screen anyway, as a player would.
    sleep 1
    kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
    kill -TERM "$pid"
    # A close that fails (an error box nobody can see offscreen) would keep it open.
    tries=0
    # (An ended child that is not waited for yet has no /proc/PID/exe.)
    while [ "$(readlink "/proc/$pid/exe" 2>/dev/null || true)" = "$program" ]; do
        tries=$((tries + 1))
        [ $tries -lt 600 ] || { kill -KILL "$pid"; fail "still running 30 s after SIGTERM"; }
        sleep 0.05
    done
    rc=0
    wait "$pid" || rc=$?
}

no_settings_in_program_folders() {
    found=$(find "$root" -name 'flinder.ini*')
    [ -z "$found" ] || fail "settings written into the installed tree: $found"
}

# First start: no settings yet; the close creates them in the user's folder.
run_and_terminate
[ "$rc" -eq 0 ] || fail "exit code $rc after SIGTERM"
[ -f "$settings" ] || fail "no $settings; files: $(find "$home" -type f)"
[ "$(stat -c %U "$settings")" = "$user" ] || fail "$settings belongs to $(stat -c %U "$settings")"
grep -q '^name49=(none)$' "$settings" || fail "incomplete settings: $(cat "$settings")"
no_settings_in_program_folders

# Second start reads them from there: a name put into the file survives the next close.
# shellcheck disable=SC2086
$as_user sed -i 's/^name0=.*/name0=Packaged/' "$settings"
run_and_terminate
[ "$rc" -eq 0 ] || fail "exit code $rc after SIGTERM (second start)"
grep -q '^name0=Packaged$' "$settings" || fail "the second start did not read $settings"
no_settings_in_program_folders
echo "ok: settings in $settings"

#!/bin/sh
# The Debian package.
#   lint BUILD_DIR SOURCE_DIR
#       makes the package as shipped, with tools/package.sh in BUILD_DIR/package-release
#       (the program alone, in Release), and runs lintian on it: no error, no warning,
#       and the hardening of dpkg-buildflags (hardening=+all) in the build and in the
#       program, no unneeded section in the program; then makes the package a second
#       time, later and with the program's file newer, and checks that it is the same
#       bytes.
#   run BUILD_DIR
#       makes the package from the build tree, checks its control fields, unpacks it
#       (dpkg-deb -x) and starts it under a private X server, from its desktop entry and
#       from a terminal in the home folder, as an unprivileged user and (when run as
#       root) as root: it keeps its settings only in that user's ~/.config/Flinder/,
#       never in the installed tree (writable for root), hands its help page to the
#       desktop (a recording xdg-open) from both places, and ends cleanly on SIGTERM.
set -eu
mode=$1
build=$2

scratch=$(mktemp -d)
xserver=""
cleanup() {
    [ -z "$xserver" ] || kill "$xserver" 2>/dev/null || true
    chmod -R u+w "$scratch" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
chmod 755 "$scratch"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Makes the package of a build tree into $scratch/out; its path goes to $deb.
make_package() {
    rm -rf "$scratch/out"
    cpack -G DEB --config "$1/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
        { cat "$scratch/cpack.log" >&2; fail "cpack"; }
    set -- "$scratch"/out/*.deb
    [ $# -eq 1 ] && [ -f "$1" ] || fail "expected one .deb, got: $*"
    deb=$1
    echo "package: $(basename "$deb")"
}

lint() {
    source=$1
    release=$build/package-release
    sh "$source/tools/package.sh" "$release" >"$scratch/build.log" 2>&1 ||
        { cat "$scratch/build.log" >&2; fail "tools/package.sh"; }
    deb=$(tail -n 1 "$scratch/build.log")
    echo "package: $(basename "$deb")"

    out=$(lintian --display-info --fail-on error,warning "$deb" 2>"$scratch/lintian.err") ||
        fail "lintian: $out $(cat "$scratch/lintian.err")"
    echo "$out"
    if echo "$out" | grep -E '^[EW]: '; then fail "lintian reports errors or warnings"; fi
    # Informational tags, but each means a hardening flag did not reach the program.
    if echo "$out" | grep -E 'hardening-no-(relro|bindnow|pie)'; then fail "not hardened"; fi

    # The compiler flags of Debian's hardening, on the command that built main(). (The
    # linker's relro and now are what lintian checked above. Its fortify tag cannot
    # serve: a program that only calls fortifiable functions with sizes known to be
    # safe gets it anyway.)
    command=$(grep -o '"command": "[^"]*shell/main\.cpp[^"]*"' "$release/compile_commands.json")
    for flag in $(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS) \
        $(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS); do
        case $flag in
        -g | -O* | -ffile-prefix-map=*) continue ;; # debug, optimisation, source paths
        esac
        case " $command " in
        *" $flag "*) ;;
        *) fail "the Release build lacks $flag: $command" ;;
        esac
    done
    dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/games/flinder >"$scratch/flinder"
    readelf --dyn-syms -W "$scratch/flinder" | grep -q ' __stack_chk_fail' ||
        fail "the program has no stack protector"
    echo "ok: lintian, hardening"
    # Stripped as Debian strips: lintian's info tag for sections left in.
    if echo "$out" | grep -E 'binary-has-unneeded-section'; then fail "not stripped enough"; fi
    reproducible "$release" "$source"
}

# Every date in the package is the last commit's: made again later from a build whose
# program file is newer, the package is the same bytes.
reproducible() {
    unset SOURCE_DATE_EPOCH
    make_package "$1"
    commit=$(git -C "$2" log -1 --format=%ct)
    expected=$(TZ=UTC date -d "@$commit" '+%Y-%m-%d %H:%M:%S')
    actual=$(dpkg-deb --fsys-tarfile "$deb" | TZ=UTC tar -tv --full-time ./usr/games/flinder |
        awk '{ print $4 " " $5 }')
    [ "$actual" = "$expected" ] || fail "the program is dated $actual, the last commit $expected"
    mv "$deb" "$scratch/first.deb"
    sleep 1
    touch "$1/flinder"
    make_package "$1"
    cmp "$scratch/first.deb" "$deb" || fail "two packages of one commit differ"
    echo "ok: reproducible (two packages of one commit are the same bytes)"
}

# --- run: the package unpacked, as an installed copy ---

# Field of the package's control file.
field() { dpkg-deb -f "$deb" "$1"; }

control_fields() {
    [ "$(field Package)" = flinder ] || fail "Package: $(field Package)"
    [ "$(field Section)" = games ] || fail "Section: $(field Section)"
    [ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
        fail "Architecture: $(field Architecture)"
    depends=$(field Depends)
    echo "Depends: $depends"
    for p in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-urw-base35 \
        fonts-ipafont-gothic; do
        # A whole name in the comma-separated list, with or without a version.
        echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF "$p" ||
            fail "Depends lacks $p"
    done
    field Suggests | grep -qw www-browser || fail "Suggests: $(field Suggests)"
}

start_x_server() {
    Xvfb -displayfd 3 -noreset -screen 0 800x600x24 -nolisten tcp 3>"$scratch/display" \
        >"$scratch/xvfb.log" 2>&1 &
    xserver=$!
    tries=0
    while [ ! -s "$scratch/display" ]; do
        tries=$((tries + 1))
        [ $tries -lt 200 ] || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
        sleep 0.05
    done
    DISPLAY=:$(cat "$scratch/display")
    export DISPLAY
}

# The program's visible windows (its main window, then also an open menu).
windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null || true; }

# Starts the program as $account from folder $1 with $home as HOME, waits for its main
# window; the process goes to $pid and the window to $window.
start_program() {
    # Under another user the leak checker cannot work here (and the suppressions file
    # may be unreadable for it): off for these runs, the other sanitizer checks stay on.
    # shellcheck disable=SC2086
    (cd "$1" && exec $as_account env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME \
        HOME="$home" XDG_RUNTIME_DIR="$home/run" PATH="$scratch/bin:$PATH" OPENED_LOG="$opened" \
        QT_QPA_PLATFORM=xcb DISPLAY="$DISPLAY" \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" LSAN_OPTIONS= "$program") &
    pid=$!
    tries=0
    while :; do
        window=$(windows_of "$pid" | head -n 1)
        [ -z "$window" ] || break
        kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; fail "the program ended by itself"; }
        tries=$((tries + 1))
        [ $tries -lt 600 ] || { kill -KILL "$pid"; fail "no window after 30 s"; }
        sleep 0.05
    done
}

# Chooses "ヘルプ(&H)" > "目次(&C)" with the keyboard and waits for the desktop to be
# handed a page; it must be the installed one.
open_help() {
    : >"$opened"
    xdotool windowfocus --sync "$window"
    xdotool key alt+h
    tries=0
    while [ "$(windows_of "$pid" | wc -l)" -lt 2 ]; do # the menu is open
        tries=$((tries + 1))
        [ $tries -lt 200 ] || fail "the help menu did not open"
        sleep 0.05
    done
    xdotool key c
    tries=0
    while [ ! -s "$opened" ]; do
        tries=$((tries + 1))
        [ $tries -lt 200 ] || fail "no page handed to the desktop"
        sleep 0.05
    done
    [ "$(cat "$opened")" = "file://$root/usr/share/games/flinder/help/help.htm" ] ||
        fail "the desktop was handed $(cat "$opened")"
}

# Sends SIGTERM and waits for the end; the exit code goes to $rc.
terminate() {
    kill -TERM "$pid"
    tries=0
    # A close that fails (an error box) would keep it open. (An ended child that is not
    # waited for yet has no /proc/PID/exe.)
    while [ "$(readlink "/proc/$pid/exe" 2>/dev/null || true)" = "$program" ]; do
        tries=$((tries + 1))
        [ $tries -lt 600 ] || { kill -KILL "$pid"; fail "still running 30 s after SIGTERM"; }
        sleep 0.05
    done
    rc=0
    wait "$pid" || rc=$?
    [ "$rc" -eq 0 ] || fail "exit code $rc after SIGTERM"
}

# Nothing written into the installed tree; in the home folder only the settings.
wrote_only_settings() {
    found=$(find "$root" -newer "$stamp")
    [ -z "$found" ] || fail "written into the installed tree: $found"
    found=$(find "$home" -newer "$stamp" -type f ! -path "$home/run/*")
    [ "$found" = "$settings" ] || fail "files written as $account: $found"
    [ "$(stat -c %U "$settings")" = "$account" ] ||
        fail "$settings belongs to $(stat -c %U "$settings")"
}

# Both starts as one account: from the desktop entry first (no settings yet: the close
# creates them), then from a terminal in the home folder (reads them from there).
runs_as() {
    account=$1
    home=$scratch/home-$account
    mkdir -p "$home/run"
    chmod 700 "$home/run"
    opened=$scratch/opened-$account
    : >"$opened"
    if [ "$account" = root ] || [ "$(id -u)" -ne 0 ]; then
        as_account=""
    else
        chown -R "$account" "$home" "$opened"
        as_account="setpriv --reuid=$account --regid=$(id -gn "$account") --clear-groups --"
    fi
    settings=$home/.config/Flinder/flinder.ini
    stamp=$scratch/stamp-$account
    touch "$stamp"
    sleep 1 # file times have a granularity; later writes must be newer than the stamp

    exec=$(sed -n 's/^Exec=//p' "$entry")
    path=$(sed -n 's/^Path=//p' "$entry")
    program=$root$exec
    [ -x "$program" ] && [ -d "$root$path" ] || fail "Exec=$exec Path=$path"
    start_program "$root$path"
    open_help
    terminate
    [ -f "$settings" ] || fail "no $settings; files: $(find "$home" -type f)"
    grep -q '^name49=(none)$' "$settings" || fail "incomplete settings: $(cat "$settings")"
    wrote_only_settings

    # shellcheck disable=SC2086
    $as_account sed -i 's/^name0=.*/name0=Packaged/' "$settings"
    start_program "$home"
    open_help
    terminate
    grep -q '^name0=Packaged$' "$settings" || fail "the second start did not read $settings"
    wrote_only_settings
    echo "ok: as $account, settings in ~/.config/Flinder/flinder.ini, help from both places"
}

run() {
    make_package "$build"
    control_fields
    root=$scratch/root
    dpkg-deb -x "$deb" "$root"
    entry=$root/usr/share/applications/org.flindergame.Flinder.desktop
    mkdir "$scratch/bin"
    cat >"$scratch/bin/xdg-open" <<'EOF'
#!/bin/sh
# Records what the desktop is asked to open.
printf '%s\n' "$1" >"$OPENED_LOG"
EOF
    chmod 755 "$scratch/bin/xdg-open"
    start_x_server
    if [ "$(id -u)" -eq 0 ]; then
        runs_as nobody
        runs_as root
    else
        chmod -R a-w "$root" # as /usr is for a user
        runs_as "$(id -un)"
    fi
}

case $mode in
lint) lint "$3" ;;
run) run ;;
*) fail "unknown mode $mode" ;;
esac

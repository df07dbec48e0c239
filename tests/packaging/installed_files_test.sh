#!/usr/bin/env bash
# Installs the build tree into a temporary DESTDIR and checks what a desktop, a package manager
# and a user see: the desktop entry, the AppStream metadata, the setup file type, the man page,
# the systemd units and the installed program itself. A validator that is not installed is
# skipped with a message (scripts/test installs them all).
# Usage: installed_files_test.sh BUILD_DIR SOURCE_DIR PREFIX VERSION
set -uo pipefail
BUILD=$1
SOURCE=$2
PREFIX=$3
VERSION=$4
APP_ID=example.quorvell.Quorvell

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
DEST=$WORK/dest
ROOT=$DEST$PREFIX
FAILURES=0

fail() {
    echo "FAIL: $*"
    FAILURES=$((FAILURES + 1))
}
skip() { echo "SKIP: $* is not installed; that check did not run"; }
have() { command -v "$1" >/dev/null 2>&1; }
must_exist() { # must_exist PATH WHAT
    [ -e "$1" ] || fail "$2 names ${1#"$DEST"}, which is not installed"
}

if ! DESTDIR=$DEST cmake --install "$BUILD" >"$WORK/install.log" 2>&1; then
    cat "$WORK/install.log"
    echo "FAIL: cmake --install failed"
    exit 1
fi

DESKTOP=$ROOT/share/applications/$APP_ID.desktop
METAINFO=$ROOT/share/metainfo/$APP_ID.metainfo.xml
MIME=$ROOT/share/mime/packages/quorvell.xml
MAN=$ROOT/share/man/man1/quorvell.1.gz
SAMPLE=$ROOT/share/doc/quorvell/examples/sample-gig.ms
PROGRAM=$ROOT/bin/quorvell
for file in "$DESKTOP" "$METAINFO" "$MIME" "$MAN" "$SAMPLE" "$PROGRAM"; do
    must_exist "$file" "the install"
done

# --- Desktop entry: no error and no warning; what it names is installed.
if have desktop-file-validate; then
    out=$(desktop-file-validate "$DESKTOP" 2>&1)
    [ -z "$out" ] || fail "desktop-file-validate: $out"
else
    skip desktop-file-validate
fi
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$DESKTOP")
must_exist "$ROOT/bin/$exec_name" "the desktop entry's Exec"
grep -q '^Exec=quorvell %f$' "$DESKTOP" || fail "the desktop entry does not open the file it is given"
grep -q '^Categories=AudioVideo;Audio;Midi;$' "$DESKTOP" || fail "the desktop entry's categories"
icon=$(sed -n 's/^Icon=//p' "$DESKTOP")
for size in 16 22 32 48 64 128 256; do
    png=$ROOT/share/icons/hicolor/${size}x$size/apps/$icon.png
    must_exist "$png" "the desktop entry's Icon"
    if [ -e "$png" ] && have file; then
        file "$png" | grep -q "$size x $size" || fail "$icon.png at ${size}x$size is $(file -b "$png")"
    fi
done
must_exist "$ROOT/share/icons/hicolor/scalable/apps/$icon.svg" "the desktop entry's Icon"
for type in $(sed -n 's/^MimeType=//p' "$DESKTOP" | tr ';' ' '); do
    grep -q "<mime-type type=\"$type\">" "$MIME" || fail "the desktop entry's MIME type $type is not defined"
done

# --- AppStream metadata.
if have appstreamcli; then
    if ! out=$(appstreamcli validate --no-net "$METAINFO" 2>&1) || grep -q '^[EW]:' <<<"$out"; then
        fail "appstreamcli validate: $out"
    fi
else
    skip appstreamcli
fi
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$METAINFO")
must_exist "$ROOT/share/applications/$launchable" "the metadata's launchable"
for binary in $(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$METAINFO"); do
    must_exist "$ROOT/bin/$binary" "the metadata's provided binary"
done
for type in $(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' "$METAINFO"); do
    grep -q "<mime-type type=\"$type\">" "$MIME" || fail "the metadata's media type $type is not defined"
done
for image in $(sed -n 's:.*<image>\(.*\)</image>.*:\1:p' "$METAINFO"); do
    must_exist "$SOURCE/docs/screenshots/$(basename "$image")" "the metadata's screenshot"
done
grep -q "<release version=\"$VERSION\"" "$METAINFO" || fail "the metadata has no release $VERSION"

# --- The setup file type: well formed, compiled by update-mime-database, and a setup is told
# from a troff document of the same extension.
if have xmllint; then
    xmllint --noout "$MIME" || fail "xmllint rejects the MIME type file"
else
    skip xmllint
fi
if have update-mime-database; then
    mkdir -p "$WORK/mime/mime/packages"
    cp "$MIME" "$WORK/mime/mime/packages/"
    [ -f /usr/share/mime/packages/freedesktop.org.xml ] &&
        cp /usr/share/mime/packages/freedesktop.org.xml "$WORK/mime/mime/packages/"
    out=$(XDG_DATA_DIRS=$WORK/mime update-mime-database "$WORK/mime/mime" 2>&1)
    [ -z "$out" ] || fail "update-mime-database: $out"
    grep -q '^10:application/x-quorvell-setup:\*\.ms$' "$WORK/mime/mime/globs2" ||
        fail "the *.ms glob is not registered with weight 10"
    grep -q 'application/x-quorvell-setup' "$WORK/mime/mime/magic" || fail "no magic rule for setups"
    if have gio && [ -f /usr/share/mime/packages/freedesktop.org.xml ]; then
        printf '.TL\nA paper\n.PP\nSome text.\n' >"$WORK/paper.ms"
        cp "$SAMPLE" "$WORK/gig.ms"
        type_of() { XDG_DATA_DIRS=$WORK/mime gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'; }
        [ "$(type_of "$WORK/gig.ms")" = application/x-quorvell-setup ] ||
            fail "a setup is seen as $(type_of "$WORK/gig.ms")"
        [ "$(type_of "$WORK/paper.ms")" != application/x-quorvell-setup ] ||
            fail "a troff document is taken for a setup"
    else
        skip "gio (or the freedesktop MIME database)"
    fi
else
    skip update-mime-database
fi

# --- Man page: renders without a warning; the files it names are installed.
if have man; then
    out=$(MANWIDTH=80 man --warnings -l "$MAN" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "man --warnings: $out"
    page=$(MANWIDTH=200 man -l "$MAN" 2>/dev/null)
    for option in --headless --check --list-ports --midi-api --no-initializers-on-open --fresh --help \
        --version QUORVELL_MIDI_API JACK_DEFAULT_SERVER XDG_STATE_HOME WATCHDOG_USEC SIGTERM SIGINT SIGUSR1 \
        "EXIT STATUS" 64; do
        grep -qF -- "$option" <<<"$page" || fail "the man page does not mention $option"
    done
    for path in $(grep -o "$PREFIX/[^ ,;)]*" <<<"$page" | sort -u); do
        must_exist "$DEST$path" "the man page"
    done
    grep -qF "Quorvell $VERSION" <<<"$page" || fail "the man page does not carry version $VERSION"
else
    skip man
fi

# --- systemd units: clean under systemd-analyze verify (with the program where DESTDIR put it).
for unit in "$ROOT"/lib/systemd/user/quorvell.service "$ROOT"/lib/systemd/system/quorvell@.service; do
    must_exist "$unit" "the install"
done
if have systemd-analyze; then
    mkdir -p "$WORK/units" "$WORK/runtime"
    chmod 700 "$WORK/runtime"
    sed "s|$PREFIX/bin/quorvell|$PROGRAM|" "$ROOT/lib/systemd/user/quorvell.service" >"$WORK/units/quorvell.service"
    sed "s|$PREFIX/bin/quorvell|$PROGRAM|" "$ROOT/lib/systemd/system/quorvell@.service" \
        >"$WORK/units/quorvell@gig.service"
    for unit in "$WORK/units/quorvell.service" "$WORK/units/quorvell@gig.service"; do
        grep -q "ExecStart=$PROGRAM --headless" "$unit" || fail "$(basename "$unit") does not run --headless"
        grep -q '^Type=notify$' "$unit" || fail "$(basename "$unit") is not Type=notify"
        out=$(XDG_RUNTIME_DIR=$WORK/runtime systemd-analyze verify --man=no "$unit" 2>&1) ||
            fail "systemd-analyze verify $(basename "$unit"): $out"
        [ -z "$out" ] || fail "systemd-analyze verify $(basename "$unit"): $out"
    done
else
    skip systemd-analyze
fi

# --- The installed program.
out=$("$PROGRAM" --version 2>&1)
[ "$out" = "Quorvell $VERSION" ] || fail "--version printed \"$out\""
out=$(QUORVELL_MIDI_API=jack JACK_NO_START_SERVER=1 timeout 60 "$PROGRAM" --check "$SAMPLE" 2>/dev/null)
status=$?
# The sample's devices are not on this machine: 1 (read, with problems) is expected, 2 is not.
[ $status -le 1 ] || fail "--check on the installed sample exited with $status"
grep -q '^Setup "Friday Gig": 3 input(s)$' <<<"$out" || fail "--check did not describe the sample: $out"

if [ $FAILURES -gt 0 ]; then
    echo "$FAILURES check(s) failed"
    exit 1
fi
echo "All installed files check out."

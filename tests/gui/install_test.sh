#!/usr/bin/env bash
# Installs the build into a prefix of its own and checks what a desktop
# needs from it, then runs it as an ordinary user with an empty home: the
# first Run must render the default model into a folder of the user's.
#
#   install_test.sh BUILD_DIR SOURCE_DIR CMAKE DRIVER
#
# Only the default component is installed, so that cmake writes
# install_manifest_Unspecified.txt: the install_manifest.txt of a real
# install, which uninstalling reads, stays as it was.
set -u
build=$1
source=$2
cmake=$3
driver=$4
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

P=$(mktemp -d "${TMPDIR:-/tmp}/brickpov-install.XXXXXX") || exit 2
user=""
home=""
cleanup() {
    [ -n "$user" ] && userdel "$user" >/dev/null 2>&1
    rm -rf "$P" "$home"
    rm -f "$build/install_manifest_Unspecified.txt"
}
trap cleanup EXIT

if ! "$cmake" --install "$build" --prefix "$P" --component Unspecified >"$P.log" 2>&1; then
    cat "$P.log"
    rm -f "$P.log"
    exit 1
fi
rm -f "$P.log"

desktop=$P/share/applications/brickpov.desktop
icon=$P/share/icons/hicolor/scalable/apps/brickpov.svg
mime=$P/share/mime/packages/brickpov.xml
for f in "$desktop" "$icon" "$mime" "$P/share/brickpov/Default.BPS"; do
    [ -f "$f" ] || fail "not installed: ${f#"$P"/}"
done
if [ ! -x "$P/bin/brickpov" ]; then
    fail "bin/brickpov is not installed"
elif [ "$("$P/bin/brickpov" --version)" != "brickpov $("$build/src/gui/brickpov" --version | cut -d' ' -f2)" ]; then
    fail "the installed brickpov does not answer --version"
fi
cmp -s "$source/data/desktop/Default.BPS" "$P/share/brickpov/Default.BPS" ||
    fail "the installed Default.BPS is not data/desktop/Default.BPS"

# The entry starts the installed program with the file and names the icon.
value() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(value Exec)" = "brickpov %f" ] || fail "Exec=$(value Exec)"
[ -x "$P/bin/$(value Exec | cut -d' ' -f1)" ] || fail "Exec names no installed program"
[ -f "$P/share/icons/hicolor/scalable/apps/$(value Icon).svg" ] || fail "Icon=$(value Icon) is not installed"
grep -q '<svg' "$icon" || fail "the icon is not an SVG picture"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi

# Models of every kind get a type that the entry opens.
if command -v update-mime-database >/dev/null; then
    update-mime-database "$P/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
    types=";$(value MimeType)"
    for ext in ldr mpd dat; do
        type=$(sed -n "s/^[0-9]*:\([^:]*\):\*\.$ext$/\1/p" "$P/share/mime/globs2" | head -1)
        if [ -z "$type" ]; then
            fail "no type for *.$ext"
        elif [[ $types != *";$type;"* ]]; then
            fail "*.$ext is $type, which the entry does not open"
        fi
    done
fi

# The installed program run by a throwaway user through the driver, which is
# the same program without a display: the program's folder is not the
# user's, there is no library but the sample installed with Brickpov, and no
# settings. Making a user needs root.
if [ "$(id -u)" -ne 0 ] || ! command -v useradd >/dev/null; then
    echo "skipped the run as an ordinary user: making one needs root and useradd"
elif ! command -v povray >/dev/null; then
    echo "skipped the run as an ordinary user: POV-Ray is not installed"
else
    user=bpinst$$
    home=$(mktemp -d /tmp/brickpov-home.XXXXXX)
    if ! useradd --no-create-home --home-dir "$home" --shell /bin/sh "$user"; then
        user=""
        fail "useradd"
    else
        chown "$user" "$home"
        chmod 755 "$P"
        pictures=$home/Pictures/Brickpov
        cat >"$home/first.script" <<EOF
start
expect ModelPath="$P/share/brickpov/ldraw/models/"
expect POVPath="$pictures/"
click Btn_RunL3P
expect waitrun=True
expect BrickpovRun.Lbl_Step.Caption="Done."
expect exists $pictures/car.pov=True
expect imagesize $pictures/car.png=PNG 640x480
EOF
        # Without a display POV-Ray draws its preview in the terminal.
        if ! runuser -u "$user" -- env -i HOME="$home" TERM=dumb PATH=/usr/local/bin:/usr/bin:/bin \
            "$driver" --program-dir "$P/bin" "$home/first.script" >"$home/transcript" 2>&1; then
            fail "the first Run as an ordinary user:"
            cat "$home/transcript"
        fi
    fi
fi

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "installed as expected"

#!/usr/bin/env bash
# The program as `make install` leaves it: installed with DESTDIR (a folder with a blank in its
# name) into a temporary folder, its desktop entry and AppStream data validated, its file types
# known to xdg-mime, and the installed program started offscreen with a fresh home and a file
# on the command line: it must find its word lists under share/quillon and write its settings
# and the user's dictionary under the home's XDG folders, never beside itself.
#
#   installed_program_test.sh BUILD_DIR
set -u
build=$1
missing=()
for tool in update-mime-database xdg-mime mimetype desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIPPED: ${missing[*]} not installed (scripts/install-deps.sh installs them)"
  exit 0
fi

work=$(mktemp -d /tmp/quillon-installed.XXXXXX)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$work"' EXIT
pid=""
stage="$work/stage dir"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install"; exit 1; }
usr="$stage/usr"
for f in bin/quillon share/quillon/quillon.bin share/quillon/quillon.ctx share/quillon/quillon.dic \
         share/quillon/quillon.def share/quillon/quillon.html share/applications/quillon.desktop \
         share/mime/packages/quillon.xml share/metainfo/org.quillon.Quillon.metainfo.xml \
         share/man/man1/quillon.1.gz share/icons/hicolor/scalable/apps/quillon.svg; do
  [ -f "$usr/$f" ] || fail "not installed: $f"
done
for size in 16 32 48 64 128 256; do
  png="$usr/share/icons/hicolor/${size}x${size}/apps/quillon.png"
  [ "$(head -c 8 "$png" 2>/dev/null | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "no PNG icon at $size px"
done
desktop-file-validate "$usr/share/applications/quillon.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/org.quillon.Quillon.metainfo.xml" >"$work/as.log" 2>&1 || { cat "$work/as.log"; fail "appstreamcli validate"; }

# The file types, as the desktop sees them once the MIME database is built.
XDG_DATA_DIRS="$usr/share" update-mime-database "$usr/share/mime" || fail "update-mime-database"
home="$work/home"
mkdir -p "$home/.config" "$home/.local/share" "$work/files"
printf 'Dim a As Integer\r\n' > "$work/files/first.mb"
printf '[Link]\r\nApplication=x.mbx\r\n' > "$work/files/app.mbp"
printf 'x\r\n' > "$work/files/UPPER.MB"
query() {
  env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION HOME="$home" \
    XDG_DATA_HOME="$home/.local/share" XDG_DATA_DIRS="$usr/share" xdg-mime query filetype "$1"
}
[ "$(query "$work/files/first.mb")" = text/x-mapbasic ] || fail "*.mb is $(query "$work/files/first.mb")"
[ "$(query "$work/files/UPPER.MB")" = text/x-mapbasic ] || fail "*.MB is $(query "$work/files/UPPER.MB")"
[ "$(query "$work/files/app.mbp")" = application/x-mapbasic-project ] || fail "*.mbp is $(query "$work/files/app.mbp")"

# The installed program, run as a user would: no settings anywhere yet, a Wine prefix that
# knows MapInfo and MapBasic (so the first run asks nothing), the shared files read-only.
chmod -R a-w "$usr"
prefix="$work/wine"
. "$(dirname "$0")/../../scripts/fake-wine-prefix.sh"
make_wine_prefix "$prefix"
env -u XDG_CONFIG_HOME HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_DATA_DIRS="$usr/share" \
  XDG_RUNTIME_DIR="$work" WINEPREFIX="$prefix" QT_QPA_PLATFORM=offscreen \
  "$usr/bin/quillon" "$work/files/first.mb" >"$work/run.log" 2>&1 &
pid=$!
ini="$home/.config/quillon/quillon.ini"
for _ in $(seq 1 200); do
  [ -s "$ini" ] && [ -s "$home/.local/share/quillon/quillon.dic" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
sleep 1
kill -0 "$pid" 2>/dev/null || { cat "$work/run.log"; fail "the installed program ended early"; }
[ -f "$ini" ] || fail "no settings under XDG_CONFIG_HOME"
for line in "KeyFile=$usr/share/quillon/quillon.bin" "HelpFile=$usr/share/quillon/quillon.ctx" \
            "DefFile=$usr/share/quillon/quillon.def" "DictFile=$home/.local/share/quillon/quillon.dic"; do
  grep -qxF "$line"$'\r' "$ini" || fail "the settings do not say $line"
done
cmp -s "$usr/share/quillon/quillon.dic" "$home/.local/share/quillon/quillon.dic" || fail "the dictionary was not copied"
[ ! -e "$usr/bin/quillon.ini" ] || fail "settings written beside the installed program"
chmod -R u+w "$work"
[ $failures -eq 0 ] && echo "installed program: all checks passed"
exit $((failures > 0))

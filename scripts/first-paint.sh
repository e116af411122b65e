#!/usr/bin/env bash
# How long a large file on the command line keeps the window from the screen: starts the
# program under a virtual X server with a fresh home and a ~300 MB MapBasic file, and reports
# the milliseconds from the start until its main window is mapped, then until it is painted
# (the window's pixels are no longer all one colour). Screenshots at 1 s and 3 s go to OUT.
#
#   scripts/first-paint.sh [LINES]          (default 8200000 lines, about 300 MB)
#
# Environment: PROGRAM (default build/quillon), OUT (a new folder under /tmp), GEN_CORPUS.
set -u

repo=$(cd "$(dirname "$0")/.." && pwd)
lines=${1:-8200000}
program=$(realpath "${PROGRAM:-$repo/build/quillon}")
gen=${GEN_CORPUS:-$repo/../shared/bench/gen_corpus.py}
[ -x "$program" ] || { echo "no program at $program (make build first)" >&2; exit 2; }

if [ -z "${QUILLON_PAINT_INNER:-}" ]; then
  for tool in xvfb-run xwininfo import convert; do
    command -v $tool >/dev/null || { echo "$tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
  done
  export QUILLON_PAINT_INNER=1 PROGRAM="$program"
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$0" "$@"
fi

out=${OUT:-$(mktemp -d /tmp/quillon-paint.XXXXXX)}
mkdir -p "$out/home" "$out/prog"
big="$out/large.mb"
[ -s "$big" ] || python3 "$gen" "$lines" "$big" >/dev/null
# A copy of the program folder, so the run has a first-run settings file of its own.
prog_dir=$(dirname "$program")
cp "$program" "$out/prog/"
for ext in bin dic ctx def; do cp "$prog_dir/quillon.$ext" "$out/prog/" 2>/dev/null; done
prefix="$out/wine"
. "$(dirname "$0")/fake-wine-prefix.sh"
make_wine_prefix "$prefix"
# Read once so that the figure is the program's, not the disk's.
cat "$big" > /dev/null

now_ms() { date +%s%3N; }
start=$(now_ms)
mkdir -p -m 700 "$out/runtime"
HOME="$out/home" XDG_RUNTIME_DIR="$out/runtime" XDG_CONFIG_HOME="$out/home/.config" XDG_DATA_HOME="$out/home/.local/share" WINEPREFIX="$prefix" \
  "$out/prog/quillon" "$big" &
pid=$!

mapped="" painted="" id=""
while [ -z "$painted" ] && [ $(( $(now_ms) - start )) -lt 60000 ]; do
  if [ -z "$id" ]; then
    id=$(xwininfo -root -tree 2>/dev/null | grep '"Quillon - ' | awk '{print $1}' | head -1)
  fi
  if [ -n "$id" ] && [ -z "$mapped" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then
    mapped=$(( $(now_ms) - start ))
  fi
  if [ -n "$mapped" ]; then
    colours=$(import -window "$id" -colors 8 -format '%k' info: 2>/dev/null || echo 1)
    [ "${colours:-1}" -gt 2 ] && painted=$(( $(now_ms) - start ))
  fi
  sleep 0.02
done
t=$(( $(now_ms) - start ))
[ $t -lt 1000 ] && sleep $(echo "scale=3; (1000 - $t) / 1000" | bc 2>/dev/null || echo 0.5)
import -window root "$out/at-1s.png"
sleep 2
import -window root "$out/at-3s.png"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "file: $(stat -L -c %s "$big") bytes"
echo "window mapped after ${mapped:-never} ms, painted after ${painted:-never} ms"
echo "screenshots: $out/at-1s.png $out/at-3s.png"

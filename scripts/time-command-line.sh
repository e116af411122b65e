#!/bin/sh
# Times `quillon --compile` of a file with three errors through the native stand-in
# compiler: 20 runs with DISPLAY unset, wall time from process start to exit, median and
# range in milliseconds. Also checks the exit status, the three error lines and, when strace
# is there, that no run connects to an X server.
#   scripts/time-command-line.sh [BUILD_DIR]   (default: build)
set -eu
build=$(cd "${1:-build}" && pwd)
program="$build/quillon"
standin="$build/tests/standin_mapbasic"
[ -x "$program" ] && [ -x "$standin" ] || { echo "build quillon and standin_mapbasic first" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-cli-XXXXXX")
trap 'rm -rf "$work"' EXIT
# A copy of the program, so that its settings file is this folder's and not the build's.
cp "$program" "$work/quillon"
mkdir -p "$work/MapBasic" "$work/src" "$work/home"
cp "$standin" "$work/MapBasic/MapBasic.exe"
printf '[SYSTEM]\r\nMapBasic=%s/MapBasic/\r\n' "$work" > "$work/quillon.ini"
printf 'Sub Main\r\n  Note "hi"\r\nEnd Sub\r\n'"'"'standin-error 1 First.\r\n'"'"'standin-error 2 Second.\r\n'"'"'standin-error 3 Third.\r\n' \
  > "$work/src/three errors.mb"

run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work/home" "$@" \
    "$work/quillon" --compile "$work/src/three errors.mb" > "$work/out" 2> "$work/err"
}

times=""
for i in $(seq 1 20); do
  start=$(date +%s%N)
  status=0
  run || status=$?
  end=$(date +%s%N)
  [ "$status" -eq 1 ] || { echo "run $i: exit status $status, expected 1" >&2; cat "$work/err" >&2; exit 1; }
  [ "$(grep -c ': error: ' "$work/err")" -eq 3 ] || { echo "run $i: not three error lines" >&2; cat "$work/err" >&2; exit 1; }
  times="$times $(( (end - start) / 1000 ))"
done

echo "stderr of the last run:"
sed 's/^/  /' "$work/err"
echo "$times" | tr ' ' '\n' | grep . | sort -n | awk '
  { t[NR] = $1 }
  END { printf "quillon --compile, %d runs: median %.1f ms, min %.1f ms, max %.1f ms\n",
        NR, (t[int((NR + 1) / 2)] + t[int(NR / 2) + 1]) / 2000, t[1] / 1000, t[NR] / 1000 }'

if command -v strace > /dev/null 2>&1; then
  strace -f -qq -e trace=connect -o "$work/trace" sh -c "$(command -v env) -u DISPLAY -u WAYLAND_DISPLAY HOME='$work/home' '$work/quillon' --compile '$work/src/three errors.mb' > /dev/null 2>&1" || true
  if grep -q 'X11-unix\|:6000' "$work/trace"; then echo "an X connection was opened" >&2; exit 1; fi
  echo "no X connection: $(grep -c connect "$work/trace" || true) connect calls, none to an X server"
fi

#!/usr/bin/env bash
# Start-up time: starts the program STARTS times (default 20) under a virtual X server, each
# time with fresh settings and a 100,000-line file on the command line, and reports the
# median time from process start to the first map of the main window.
#
#   scripts/startup-time.sh [STARTS]
#
# The map is seen through the X server's own MapNotify events on the root window, so no
# polling interval adds to the figure. Each start gets a fresh HOME and XDG folders, its own
# copy of the program folder (the settings file is created anew) and a Wine prefix whose
# registry names both program folders, so the first run asks nothing.
#
# Environment: PROGRAM (default build/quillon), GEN_CORPUS (the corpus generator),
# SCREEN (default 1920x1080x24).
set -u

repo=$(cd "$(dirname "$0")/.." && pwd)
starts=${1:-20}
program=$(realpath "${PROGRAM:-$repo/build/quillon}")
gen=${GEN_CORPUS:-$repo/../shared/bench/gen_corpus.py}

if [ ! -x "$program" ]; then
  echo "no program at $program (build it first: make build)" >&2
  exit 2
fi
if [ -z "${QUILLON_TIMING_INNER:-}" ]; then
  for tool in xvfb-run xev xprop; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install xvfb x11-utils)" >&2; exit 2; }
  done
  export QUILLON_TIMING_INNER=1 PROGRAM="$program"
  exec xvfb-run -a -s "-screen 0 ${SCREEN:-1920x1080x24}" "$0" "$@"
fi

out=$(mktemp -d /tmp/quillon-startup.XXXXXX)
trap 'rm -rf "$out"' EXIT
big="$out/large.mb"
if [ -f "$gen" ]; then
  python3 "$gen" 100000 "$big" >/dev/null
else
  awk 'BEGIN { for (i = 1; i <= 100000; i++) printf "Dim v%d As Integer  '"'"' line %d\r\n", i, i }' > "$big"
fi
prog_dir=$(dirname "$program")

now_ns() { date +%s%N; }

# Waits for the MapNotify of a window titled "Quillon - ..." and prints the time it was seen.
wait_for_main_window() {
  local line id
  while IFS= read -r -t 60 line; do
    case $line in
      MapNotify*) IFS= read -r -t 60 line || return 1
                  id=$(sed -n 's/.*window \(0x[0-9a-f]*\),.*/\1/p' <<< "$line")
                  seen=$(now_ns)
                  if [ -n "$id" ] && xprop -id "$id" WM_NAME 2>/dev/null | grep -q '"Quillon - '; then
                    echo "$seen"
                    return 0
                  fi ;;
    esac
  done
  return 1
}

times=()
for ((i = 1; i <= starts; i++)); do
  run="$out/run-$i"
  mkdir -p "$run"/{home,config,data,cache,runtime,program} "$run/home/.wine/dosdevices" \
    "$run/home/.wine/drive_c/MapInfo" "$run/home/.wine/drive_c/MapBasic"
  chmod 700 "$run/runtime"
  ln -s ../drive_c "$run/home/.wine/dosdevices/c:"
  printf '%s\n' 'WINE REGISTRY Version 2' '' \
    '[Software\\MapInfo\\MapInfo\\Professional] 1700000000' '"ProgramDirectory"="C:\\MapInfo\\"' '' \
    '[Software\\MapInfo\\MapBasic] 1700000000' '"ProgramDirectory"="C:\\MapBasic\\"' > "$run/home/.wine/system.reg"
  cp "$program" "$run/program/quillon"
  for f in "$prog_dir"/quillon.bin "$prog_dir"/quillon.dic "$prog_dir"/quillon.ctx "$prog_dir"/quillon.def; do
    [ -f "$f" ] && cp "$f" "$run/program/"
  done

  mkfifo "$run/events"
  stdbuf -oL xev -root -event substructure > "$run/events" &
  xev_pid=$!
  exec 3< "$run/events"
  sleep 0.3  # xev is listening before the program starts
  began=$(now_ns)
  env -u WINEPREFIX HOME="$run/home" XDG_CONFIG_HOME="$run/config" XDG_DATA_HOME="$run/data" \
    XDG_CACHE_HOME="$run/cache" XDG_RUNTIME_DIR="$run/runtime" \
    "$run/program/quillon" "$big" > "$run/stdout.txt" 2> "$run/stderr.txt" &
  pid=$!
  if mapped=$(wait_for_main_window <&3); then
    ms=$(( (mapped - began) / 1000000 ))
    times+=("$ms")
    echo "start $i: ${ms} ms"
  else
    echo "start $i: no main window within 60 s" >&2
  fi
  kill -TERM "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  exec 3<&-
  kill "$xev_pid" 2>/dev/null
  wait "$xev_pid" 2>/dev/null
done

[ "${#times[@]}" -gt 0 ] || { echo "no start showed its window" >&2; exit 1; }
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
n=${#sorted[@]}
if ((n % 2)); then median=${sorted[$((n / 2))]}
else median=$(( (sorted[n / 2 - 1] + sorted[n / 2]) / 2 )); fi
echo "median ${median} ms over $n starts (min ${sorted[0]} ms, max ${sorted[$((n - 1))]} ms)"

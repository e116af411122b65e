#!/usr/bin/env bash
# Starts the program many times as on a first run, under a virtual X server, while two busy
# processes load the machine, and reports every start that did not end well: a signal, a
# non-zero exit, an exit before any window, or no window within the timeout.
#
#   scripts/startup-stress.sh [STARTS]        (default 200)
#
# Each start gets a fresh HOME, fresh XDG folders and its own copy of the program folder, so
# the settings file is created anew. The starts cycle through three kinds:
#   fresh   nothing on the command line; no Wine registry, so the first run asks for the
#           MapInfo folder (the folder picker counts as the window)
#   large   a 100,000-line file on the command line, and a Wine prefix whose registry
#           knows both folders, so the first run asks nothing
#   stale   the same, with the single-instance socket of the previous start left behind
#           (that copy was ended by SIGTERM once its window showed)
# Every copy that shows a window is ended by SIGTERM, as a user's session end would.
#
# Environment: PROGRAM (default build/quillon), TIMEOUT seconds to wait for a window (60),
# OUT folder for the runs' output (a new folder under /tmp), GEN_CORPUS (the corpus
# generator), LOAD=0 to run without the extra load.
set -u

repo=$(cd "$(dirname "$0")/.." && pwd)
starts=${1:-200}
program=$(realpath "${PROGRAM:-$repo/build/quillon}")
timeout=${TIMEOUT:-60}
gen=${GEN_CORPUS:-$repo/../shared/bench/gen_corpus.py}

if [ ! -x "$program" ]; then
  echo "no program at $program (build it first: make build)" >&2
  exit 2
fi

# Everything below runs inside one virtual X server.
if [ -z "${QUILLON_STRESS_INNER:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb)" >&2; exit 2; }
  command -v xwininfo >/dev/null || { echo "xwininfo is missing (apt-get install x11-utils)" >&2; exit 2; }
  export QUILLON_STRESS_INNER=1 PROGRAM="$program"
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$0" "$@"
fi

out=${OUT:-$(mktemp -d /tmp/quillon-stress.XXXXXX)}
mkdir -p "$out"
big="$out/large.mb"
if [ -f "$gen" ]; then
  python3 "$gen" 100000 "$big" >/dev/null
else
  awk 'BEGIN { for (i = 1; i <= 100000; i++) printf "Dim v%d As Integer  '"'"' line %d\r\n", i, i }' > "$big"
fi

loaders=()
stop_load() {
  for p in "${loaders[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${loaders[@]}"; do wait "$p" 2>/dev/null; done
}
trap stop_load EXIT
if [ "${LOAD:-1}" != 0 ]; then
  for _ in 1 2; do
    ( while :; do :; done ) &
    loaders+=($!)
  done
fi

# A window of ours that is mapped (the main window, or the first run's folder picker); its
# title goes to the file named by $1.
window_shown() {
  local id
  for id in $(xwininfo -root -tree 2>/dev/null | grep -E '"(Quillon - |Locate MapInfo)' | awk '{print $1}'); do
    if xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then
      xwininfo -id "$id" | sed -n 's/^xwininfo: Window id: [^ ]* //p' > "$1"
      return 0
    fi
  done
  return 1
}

# A Wine prefix as Wine lays it out, whose registry gives the MapInfo and MapBasic folders.
make_wine_prefix() {
  local prefix=$1
  mkdir -p "$prefix/dosdevices" "$prefix/drive_c/MapInfo" "$prefix/drive_c/MapBasic"
  ln -s ../drive_c "$prefix/dosdevices/c:"
  printf '%s\n' 'WINE REGISTRY Version 2' '' \
    '[Software\\MapInfo\\MapInfo\\Professional] 1700000000' '"ProgramDirectory"="C:\\MapInfo\\"' '' \
    '[Software\\MapInfo\\MapBasic] 1700000000' '"ProgramDirectory"="C:\\MapBasic\\"' > "$prefix/system.reg"
}

prog_dir=$(dirname "$program")
kinds=(fresh large stale)
abnormal=0
shown=0
previous_runtime=""
: > "$out/summary.txt"

for ((i = 1; i <= starts; i++)); do
  kind=${kinds[$(((i - 1) % 3))]}
  run="$out/$(printf 'run-%03d' "$i")-$kind"
  mkdir -p "$run"/{home,config,data,cache,runtime,program}
  chmod 700 "$run/runtime"
  runtime="$run/runtime"
  if [ "$kind" = stale ] && [ -n "$previous_runtime" ]; then
    runtime=$previous_runtime
    ls -A "$runtime" > "$run/stale-socket.txt"
  fi
  # The program folder: the program itself and its default word lists, nothing else, so
  # the settings file beside the program is created by this start.
  ln "$program" "$run/program/quillon" 2>/dev/null || cp "$program" "$run/program/quillon"
  for f in "$prog_dir"/quillon.bin "$prog_dir"/quillon.dic "$prog_dir"/quillon.ctx "$prog_dir"/quillon.def; do
    [ -f "$f" ] && cp "$f" "$run/program/"
  done
  args=()
  if [ "$kind" != fresh ]; then
    args=("$big")
    make_wine_prefix "$run/home/.wine"
  fi

  env -u WINEPREFIX HOME="$run/home" XDG_CONFIG_HOME="$run/config" XDG_DATA_HOME="$run/data" \
    XDG_CACHE_HOME="$run/cache" XDG_RUNTIME_DIR="$runtime" \
    "$run/program/quillon" "${args[@]}" > "$run/stdout.txt" 2> "$run/stderr.txt" &
  pid=$!
  began=$SECONDS
  outcome=""
  while :; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      rc=$?
      if [ "$rc" -gt 128 ]; then outcome="ended by signal $((rc - 128)) before any window"
      elif [ "$rc" -ne 0 ]; then outcome="exit code $rc before any window"
      else outcome="ended without a window"; fi
      break
    fi
    if window_shown "$run/window.txt"; then
      shown=$((shown + 1))
      kill -TERM "$pid"
      wait "$pid"
      rc=$?
      # 143 is the SIGTERM sent here; anything else ended the program on its own.
      [ "$rc" -ne 143 ] && outcome="window shown, then exit status $rc"
      break
    fi
    if [ $((SECONDS - began)) -ge "$timeout" ]; then
      kill -KILL "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      rc=timeout
      outcome="no window within ${timeout} s"
      break
    fi
    sleep 0.2
  done
  rm -f "$run/program/quillon"
  echo "$rc" > "$run/status.txt"
  if [ -n "$outcome" ]; then
    abnormal=$((abnormal + 1))
    echo "start $i ($kind): $outcome; output in $run" | tee -a "$out/summary.txt"
  fi
  previous_runtime="$run/runtime"
done

echo "$starts starts, $shown windows shown, $abnormal abnormal ends; runs kept in $out" | tee -a "$out/summary.txt"
[ "$abnormal" -eq 0 ]

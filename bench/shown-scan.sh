#!/usr/bin/env bash
# shown-scan.sh [N] - what showing the main window costs a scan run: zeb.exe searches a
# generated Registry of N keys (../shared/bench/regbench_gen.cpp, default 20000) in "Search and
# Replace" for AcmeNeedle, once with the main window shown (/AUTO) and once hidden (/STEALTH),
# only "Search Registry" ticked, RUNS times round-robin, on a virtual display.
#
# Each time is from the start of zeb.exe until its report (/REPORT=, written after the scan) is
# there (the replacement AcmeNeedleX keeps every match a match for the next run). Prints minima, medians, every run, the number of changes, and a last line
# "ratio shown/hidden=X keys=N (medians)".
#
# Env: RUNS (3), SEED (12345), BUILD_DIR (build/windows), YARDSTICK (../shared/bench),
#      CXX (x86_64-w64-mingw32-g++-posix), KEEP_PREFIX=1. Kills only its own wineserver.
set -euo pipefail

if [[ -z ${SHOWN_SCAN_ON_DISPLAY:-} ]]; then
  export SHOWN_SCAN_ON_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

N=${1:-20000}
RUNS=${RUNS:-3}
SEED=${SEED:-12345}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
YARDSTICK=${YARDSTICK:-$(cd "$top/../shared/bench" 2>/dev/null && pwd || true)}
BUILD_DIR=${BUILD_DIR:-$top/build/windows}
CXX=${CXX:-x86_64-w64-mingw32-g++-posix}

for tool in wine wineserver wineboot cmake "$CXX"; do
  command -v "$tool" >/dev/null || { echo "shown-scan: missing $tool (scripts/setup installs it)" >&2; exit 1; }
done
[[ -f $YARDSTICK/regbench_gen.cpp ]] ||
  { echo "shown-scan: no yardstick sources in '$YARDSTICK' (set YARDSTICK)" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/shown-scan.XXXXXX")
# Without Wine's menu builder, which would walk what the prefix holds at every start.
export WINEPREFIX=$WORK/pfx HOME=$WORK/home WINEDEBUG=-all WINEARCH=win64 \
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
cleanup() {
  wineserver -k 2>/dev/null || true
  if [[ ${KEEP_PREFIX:-0} == 1 ]]; then echo "prefix kept: $WINEPREFIX"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# ---- build ------------------------------------------------------------------------------------
"$CXX" -O2 -static -o "$WORK/regbench_gen.exe" "$YARDSTICK/regbench_gen.cpp"
cmake -S "$top" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$BUILD_DIR" --target zeb -j2 >/dev/null
ZEB=$BUILD_DIR/zeb.exe

# ---- fresh prefix, N keys -----------------------------------------------------------------------
wineboot -i >/dev/null 2>&1
wineserver -w
# The virtual display has no window manager. Wine, hiding a window a window manager would
# manage (the splash, at its hand-over to the main window), waits up to 2 s for one to
# withdraw it: a stall of the display, not of the scan, that only a shown run longer than the
# hand-over meets. Unmanaged windows are hidden at once, as on a desktop with a manager.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
wineserver -p
gen_out=$(wine "$WORK/regbench_gen.exe" "$N" "$SEED")

winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
report=$WORK/report.csv
args=("/DIRECTORY=$(winpath "$top/samples/acme/directory.ldif")" /TREE=ACME_TREE
      /USER=Robert.Sales.Acme /NODESK /NOMENU /NOINI /NOPROMPT /SEARCH=AcmeNeedle
      /REPLACE=AcmeNeedleX "/REPORT=$(winpath "$report")")

# One run: seconds from the start until the report is there. A hidden run is left to save and
# end; a shown one saves at a tenth of a second per change, so it is ended once the report is
# there (its few writes by then are whole values; key renames come last).
timed_run() {
  rm -f "$report"
  local start end pid
  start=$(date +%s.%N)
  wine "$ZEB" "${args[@]}" "$1" >/dev/null 2>&1 &
  pid=$!
  while [[ ! -s $report ]] && kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  end=$(date +%s.%N)
  if [[ $1 == /AUTO ]]; then kill -9 "$pid" 2>/dev/null || true; fi
  wait "$pid" 2>/dev/null || true
  [[ -s $report ]] || { echo "shown-scan: zeb.exe $1 wrote no report" >&2; exit 1; }
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}

shown=() hidden=()
timed_run /STEALTH >/dev/null  # warm-up: the first start of a prefix loads more
for r in $(seq "$RUNS"); do
  hidden+=("$(timed_run /STEALTH)")
  hidden_changes=$(($(wc -l <"$report") - 1))
  shown+=("$(timed_run /AUTO)")
  shown_changes=$(($(wc -l <"$report") - 1))
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END{print (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2}'; }
minimum() { printf '%s\n' "$@" | sort -n | head -1; }
echo "# host: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $(wine --version); N=$N seed=$SEED runs=$RUNS"
sed 's/^/# generator: /' <<<"$gen_out"
echo "# changes in the report (last run): hidden $hidden_changes, shown $shown_changes"
printf "%-8s %7s %8s  %s\n" run min_s median_s "all runs (s)"
printf "%-8s %7.2f %8.2f  %s\n" hidden "$(minimum "${hidden[@]}")" "$(median "${hidden[@]}")" "${hidden[*]}"
printf "%-8s %7.2f %8.2f  %s\n" shown "$(minimum "${shown[@]}")" "$(median "${shown[@]}")" "${shown[*]}"
awk -v h="$(minimum "${hidden[@]}")" -v s="$(minimum "${shown[@]}")" \
  'BEGIN{printf "ratio of minima: shown/hidden=%.2f\n", s/h}'
awk -v h="$(median "${hidden[@]}")" -v s="$(median "${shown[@]}")" -v N="$N" \
  'BEGIN{printf "ratio shown/hidden=%.2f keys=%d (medians)\n", s/h, N}'

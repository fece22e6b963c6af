#!/usr/bin/env bash
# Throughput and memory of vevidav-split against GNU split, with cp as the copy limit.
#
#   bench/run.sh [--runs N]   1 GiB stock list on /dev/shm: vevidav-split -n 3000, split -l 3000
#                             and cp, N alternating runs each (default 5); min, median, peak RSS
#   bench/run.sh --big        peak RSS of one vevidav-split -n 3000 run on a 5 GiB stock list
#   bench/run.sh --clean      remove the cached input
#
# Expects the optimised build (./dev.sh bench makes it first). The input is made by
# tools/make-stocklist (seed 1) and kept in /dev/shm/vevidav-bench for the next run.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SPLITTER=$ROOT/build/native-release/cli/vevidav-split
GENERATOR=$ROOT/build/native-release/tools/make-stocklist
WORK=/dev/shm/vevidav-bench
GIB=$((1024 * 1024 * 1024))
LINES=3000

runs=5
mode=speed
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --runs=*) runs=${1#--runs=}; shift ;;
    --big) mode=big; shift ;;
    --clean) mode=clean; shift ;;
    *) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
case $runs in '' | *[!0-9]* | 0) echo "bench: --runs needs a whole number above 0" >&2; exit 2 ;; esac

say() { printf '%s\n' "$*" >&2; }

for tool in "$SPLITTER" "$GENERATOR"; do
  [ -x "$tool" ] || { say "bench: $tool is missing: run ./dev.sh bench (it builds native-release)"; exit 1; }
done

# free_kib DIR: the space left on its file system.
free_kib() { df -Pk "$1" | awk 'NR == 2 { print $4 }'; }
mem_available_kib() { awk '/^MemAvailable:/ { print $2 }' /proc/meminfo; }

# make_input FILE BYTES: the stock list of about BYTES bytes (whole lines), made once. It is
# written under another name and renamed at the end, so a file of that name is always complete.
make_input() {
  local file=$1 bytes=$2
  if [ -f "$file" ]; then
    local size
    size=$(stat -c %s "$file")
    if [ "$size" -le "$bytes" ] && [ "$size" -gt $((bytes - 4096)) ]; then return 0; fi
  fi
  say "generating $file ($bytes bytes) ..."
  mkdir -p "$(dirname "$file")"
  "$GENERATOR" --bytes "$bytes" --seed 1 >"$file.part"
  mv "$file.part" "$file"
}

# median and min of the numbers on stdin, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
minimum() { sort -n | head -n1; }
seconds() { awk -v ns="$1" 'BEGIN { printf "%.3f", ns / 1e9 }'; }

machine() {
  local cpu
  cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
  printf '%s, %s cores, %s GiB RAM, Linux %s' "${cpu:-unknown CPU}" "$(nproc)" \
    "$(awk '/^MemTotal:/ { printf "%.0f", $2 / 1048576 }' /proc/meminfo)" "$(uname -r)"
}

load() { cut -d' ' -f1-3 /proc/loadavg; }

# The pieces vevidav-split must have written for FILE: their number and their total size.
check_pieces() {
  local file=$1 out=$2
  local lines size pieces want_pieces want_bytes got_bytes
  lines=$(wc -l <"$file")  # every line of the stock list ends in CR LF
  size=$(stat -c %s "$file")
  want_pieces=$(((lines + LINES - 1) / LINES))
  # Every full piece drops its last CR LF; a shorter last piece keeps it.
  if [ $((lines % LINES)) = 0 ]; then want_bytes=$((size - 2 * want_pieces)); else want_bytes=$((size - 2 * (want_pieces - 1))); fi
  pieces=$(find "$out" -maxdepth 1 -name '实时库存*.txt' | wc -l)
  got_bytes=$(find "$out" -maxdepth 1 -name '实时库存*.txt' -printf '%s\n' | awk '{ s += $1 } END { printf "%.0f\n", s }')
  if [ "$pieces" != "$want_pieces" ] || [ "$got_bytes" != "$want_bytes" ]; then
    say "bench: vevidav-split wrote $pieces pieces, $got_bytes bytes; expected $want_pieces pieces, $want_bytes bytes"
    exit 1
  fi
}

if [ "$mode" = clean ]; then
  rm -rf "$WORK"
  exit 0
fi

if [ "$mode" = big ]; then
  big=$((5 * GIB))
  input=$WORK/stock-5GiB.txt
  # Input and pieces in memory when there is plenty of it, else the pieces go to the disk.
  if [ "$(free_kib /dev/shm)" -gt $((11 * 1024 * 1024)) ] && [ "$(mem_available_kib)" -gt $((14 * 1024 * 1024)) ]; then
    out=$WORK/big-out
  else
    out=$ROOT/build/bench-big-out
  fi
  if [ "$(free_kib /dev/shm)" -lt $((6 * 1024 * 1024)) ]; then
    say "bench: /dev/shm has less than 6 GiB free for the 5 GiB input"
    exit 1
  fi
  trap 'rm -rf "$out" "$input" "$input.part"' EXIT
  make_input "$input" "$big"
  rm -rf "$out"
  mkdir -p "$out"
  say "vevidav-split -n $LINES on $(stat -c %s "$input") bytes, pieces in $out ..."
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$WORK/big-rss" "$SPLITTER" -n $LINES -d "$out" "$input" >/dev/null
  end=$(date +%s%N)
  check_pieces "$input" "$out"
  rss=$(cat "$WORK/big-rss")
  printf '\n%s\n\n' "$(date -u '+%Y-%m-%d'), $(machine), load $(load)"
  printf '| input | time (s) | peak RSS |\n|---|---:|---:|\n'
  printf '| %s bytes, %s lines | %s | %.1f MiB |\n' "$(stat -c %s "$input")" "$(wc -l <"$input")" \
    "$(seconds $((end - start)))" "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')"
  verdict=met
  [ "$rss" -le $((16 * 1024)) ] || verdict=MISSED
  printf '\npeak RSS target (at most 16 MiB): %s\n' "$verdict"
  exit 0
fi

input=$WORK/stock-1GiB.txt
out=$WORK/out
if [ "$(free_kib /dev/shm)" -lt $((3 * 1024 * 1024)) ] && [ ! -f "$input" ]; then
  say "bench: /dev/shm needs about 3 GiB free (input and one set of pieces)"
  exit 1
fi
trap 'rm -rf "$out" "$WORK/times-"* "$WORK/rss-"*' EXIT
make_input "$input" "$GIB"
size=$(stat -c %s "$input")
lines=$(wc -l <"$input")
load_before=$(load)

names=(vevidav-split split cp)
shown=(
  "vevidav-split -n $LINES -d OUT FILE"
  "split -l $LINES FILE OUT/x"
  "cp FILE OUT/copy"
)
rm -f "$WORK/times-"* "$WORK/rss-"*

# One run: fresh output folder (not timed), then the command under /usr/bin/time for its peak
# RSS, timed from outside in nanoseconds (date +%s%N; a sub-second run sees no clock step).
run_one() {
  local i=$1
  rm -rf "$out"
  mkdir -p "$out"
  # Let the kernel finish freeing the last run's pages first, so no run pays for another's.
  sync
  local command start end
  case $i in
    0) command=("$SPLITTER" -n "$LINES" -d "$out" "$input") ;;
    1) command=(split -l "$LINES" "$input" "$out/x") ;;
    2) command=(cp "$input" "$out/copy") ;;
  esac
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$WORK/rss-last" "${command[@]}" >/dev/null
  end=$(date +%s%N)
  echo $((end - start)) >>"$WORK/times-$i"
  cat "$WORK/rss-last" >>"$WORK/rss-$i"
  if [ "$i" = 0 ]; then check_pieces "$input" "$out"; fi
}

say "$runs alternating runs each on $size bytes ($lines lines), load $load_before ..."
for ((r = 0; r < runs; r++)); do
  # Each round starts with the next tool, so no tool always runs first or after the same one.
  for ((k = 0; k < ${#names[@]}; k++)); do
    run_one $(((r + k) % ${#names[@]}))
  done
  say "  round $((r + 1)) of $runs done"
done
rm -rf "$out"

split_median=$(median <"$WORK/times-1")
printf '\n%s\n' "$(date -u '+%Y-%m-%d %H:%M UTC'), $(machine)"
printf 'load before %s, after %s; input %s bytes, %s CR LF lines; %s runs each, alternating; FILE and OUT on /dev/shm\n\n' \
  "$load_before" "$(load)" "$size" "$lines" "$runs"
printf '| tool | command | min (s) | median (s) | median / split | MiB/s (median) | peak RSS |\n'
printf '|---|---|---:|---:|---:|---:|---:|\n'
for i in "${!names[@]}"; do
  med=$(median <"$WORK/times-$i")
  min=$(minimum <"$WORK/times-$i")
  rss=$(sort -n "$WORK/rss-$i" | tail -n1)
  # shellcheck disable=SC2016 # the backquotes are markdown
  printf '| %s | `%s` | %s | %s | %s | %s | %s MiB |\n' "${names[$i]}" "${shown[$i]}" \
    "$(seconds "$min")" "$(seconds "$med")" \
    "$(awk -v a="$med" -v b="$split_median" 'BEGIN { printf "%.2f", a / b }')" \
    "$(awk -v s="$size" -v ns="$med" 'BEGIN { printf "%.0f", s / 1048576 / (ns / 1e9) }')" \
    "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')"
done

ratio=$(awk -v a="$(median <"$WORK/times-0")" -v b="$split_median" 'BEGIN { printf "%.2f", a / b }')
rss=$(sort -n "$WORK/rss-0" | tail -n1)
speed=met
awk -v r="$ratio" 'BEGIN { exit !(r <= 0.80) }' || speed=MISSED
memory=met
[ "$rss" -le $((16 * 1024)) ] || memory=MISSED
printf '\nvevidav-split median / split median: %s (target at most 0.80): %s\n' "$ratio" "$speed"
printf 'vevidav-split peak RSS: %s KiB (target at most 16 MiB): %s\n' "$rss" "$memory"

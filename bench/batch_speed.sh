#!/usr/bin/env bash
# Batch speed: COUNT generated cases (seeded) with --jobs 1 and --jobs 2.
# Goals: --jobs 2 under 60 s for 10,000 cases, and at least 1.6 times as fast
# as --jobs 1. Prints both times, the ratio, and whether the two outputs agree.
#
#   bench/batch_speed.sh [COUNT] [SEED]      (after make build)
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-10000}
seed=${2:-1}
cli=${BUILD:-build}/bin/pheselect-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 tools/gen_batch_cases.py --count "$count" --seed "$seed" > "$work/cases.jsonl"

run() {  # jobs -> seconds
  local start end
  start=$(date +%s%N)
  "$cli" --batch "$work/cases.jsonl" --out "$work/out$1.csv" --jobs "$1" 2>"$work/log$1" || true
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}

t1=$(run 1)
t2=$(run 2)
printf '%s cases, seed %s\n' "$count" "$seed"
printf -- '--jobs 1: %.1f s   %s\n' "$t1" "$(tail -1 "$work/log1")"
printf -- '--jobs 2: %.1f s   %s\n' "$t2" "$(tail -1 "$work/log2")"
awk -v a="$t1" -v b="$t2" 'BEGIN { printf "speed-up: %.2f\n", a / b }'
if cmp -s "$work/out1.csv" "$work/out2.csv"; then
  echo "outputs of --jobs 1 and --jobs 2 are identical"
else
  echo "outputs of --jobs 1 and --jobs 2 DIFFER" >&2
  exit 1
fi

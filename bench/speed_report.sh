#!/usr/bin/env bash
# Speed of two builds side by side, in one run on this machine: the Run
# command on every example and the changed cases (CPU time a run), the
# alternatives tables, a seeded batch with --jobs 2, and the instructions of
# one --case process (callgrind) that refuses an empty case and that runs the
# oil cooler.
#
#   bench/speed_report.sh BEFORE_BUILD AFTER_BUILD [COUNT]
#
# Each BUILD is a build folder with bin/benchmarks and bin/pheselect-cli.
# COUNT (default 10000) is the size of the batch.
set -euo pipefail
cd "$(dirname "$0")/.."
before=$1
after=$2
count=${3:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# An example the older build does not have would end its benchmarks.
filter='RunExample/(water|steam|oil|manual|check)|RunChanged|AlternativesTable'
for side in before after; do
  build=${!side}
  "$build/bin/benchmarks" --benchmark_filter="$filter" --benchmark_min_time=1 \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_format=json >"$work/$side.json" 2>/dev/null
done

python3 tools/gen_batch_cases.py --count "$count" --seed 1 >"$work/cases.jsonl"
batch() {  # build -> seconds
  local start end
  start=$(date +%s%N)
  "$1/bin/pheselect-cli" --batch "$work/cases.jsonl" --out "$work/rows.csv" --jobs 2 2>/dev/null || true
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", (b - a) / 1e9 }'
}
batch_before=$(batch "$before")
batch_after=$(batch "$after")

echo '{}' >"$work/empty.json"
instructions() {  # build case -> instructions
  # A refused case exits non-zero; only the count matters here.
  { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1/bin/pheselect-cli" --case "$2" \
    2>&1 >/dev/null || true; } | awk '/refs:/ { gsub(",", "", $4); print $4 }'
}
if command -v valgrind >/dev/null; then
  ins_empty_before=$(instructions "$before" "$work/empty.json")
  ins_empty_after=$(instructions "$after" "$work/empty.json")
  ins_oil_before=$(instructions "$before" examples/oil_cooler.json)
  ins_oil_after=$(instructions "$after" examples/oil_cooler.json)
fi

python3 - "$work" "$count" "$batch_before" "$batch_after" "${ins_empty_before:-}" "${ins_empty_after:-}" \
  "${ins_oil_before:-}" "${ins_oil_after:-}" <<'EOF'
import json, sys
work, count, bb, ba, eb, ea, ob, oa = sys.argv[1:]
def load(side):
    out = {}
    for b in json.load(open(f"{work}/{side}.json"))["benchmarks"]:
        if b.get("aggregate_name") == "median":
            out[b["run_name"]] = (b["cpu_time"], b["real_time"], b["time_unit"])
    return out
before, after = load("before"), load("after")
print(f"{'benchmark (median of 3, CPU time)':44} {'before':>10} {'after':>10} {'speed-up':>9}")
for name in before:
    if name not in after:
        continue
    cb, _, unit = before[name]
    ca, _, _ = after[name]
    print(f"{name:44} {cb:8.3f}{unit:2} {ca:8.3f}{unit:2} {cb / ca:8.2f}x")
print(f"{'batch of ' + count + ' cases, --jobs 2 (wall)':44} {float(bb):9.2f}s {float(ba):9.2f}s "
      f"{float(bb) / float(ba):8.2f}x")
if eb:
    print(f"{'instructions, --case of an empty case':44} {int(eb) / 1e6:9.2f}M {int(ea) / 1e6:9.2f}M "
          f"{int(eb) / int(ea):8.2f}x")
    print(f"{'instructions, --case oil_cooler.json':44} {int(ob) / 1e6:9.2f}M {int(oa) / 1e6:9.2f}M "
          f"{int(ob) / int(oa):8.2f}x")
EOF

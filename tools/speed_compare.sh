#!/usr/bin/env bash
# Byte identity of the results of two builds: a change that only makes the
# program faster must not move a single digit.
#
#   tools/speed_compare.sh write BIN OUT      results of the build in BIN into OUT
#   tools/speed_compare.sh compare OUT1 OUT2  byte comparison of two such folders
#   tools/speed_compare.sh BIN1 BIN2          both, into a scratch folder
#
# What is written, each by pheselect-cli of BIN with the br.mdb beside it:
# - every examples/*.json alone (--case), and again with --alternatives and
#   --curves;
# - COUNT (default 2000) seeded cases of tools/gen_sweep_cases.py (every
#   medium, mode and channel type) as one batch with JSON Lines rows
#   (--jobs 2), and as sessions of 250 runs each with the full JSON of every
#   run and its table of alternatives; and the same cases as a batch of
#   tools/gen_batch_cases.py's kind.
# Only the wall-clock time of the batch summary line is masked; everything
# else, the exit status included, must be equal byte for byte.
#
# COUNT and SEED in the environment change the sweep.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${COUNT:-2000}
seed=${SEED:-1}

write() {  # BIN OUT
  local bin=$1 out=$2 cli
  cli=$(cd "$bin" && pwd)/pheselect-cli
  mkdir -p "$out"
  local f base rc db
  # Runs store their case record: each writer gets a copy of the database.
  db=$(mktemp)
  cp "$bin/br.mdb" "$db"
  for f in examples/*.json; do
    base=$(basename "$f" .json)
    rc=0; "$cli" --case "$f" --db "$db" >"$out/example_$base.json" 2>"$out/example_$base.err" || rc=$?
    echo "$rc" >"$out/example_$base.rc"
    rc=0; "$cli" --case "$f" --db "$db" --alternatives --curves >"$out/example_${base}_alt.json" \
      2>"$out/example_${base}_alt.err" || rc=$?
    echo "$rc" >"$out/example_${base}_alt.rc"
  done
  rm -f "$db"

  python3 tools/gen_sweep_cases.py --count "$count" --seed "$seed" >"$out/sweep.jsonl"
  python3 tools/gen_batch_cases.py --count "$count" --seed "$seed" >"$out/batch.jsonl"
  local kind
  for kind in sweep batch; do
    rc=0; "$cli" --batch "$out/$kind.jsonl" --out "$out/${kind}_rows.jsonl" --jobs 2 \
      2>"$out/${kind}_rows.log" || rc=$?
    echo "$rc" >"$out/${kind}_rows.rc"
    # "N cases in 12.3 s: ..." is the one wall-clock field.
    sed -i -E 's/ cases in [0-9.]+ s/ cases in - s/' "$out/${kind}_rows.log"
  done

  python3 - "$out" <<'EOF'
import json, os, sys
out = sys.argv[1]
lines = [json.loads(l) for l in open(os.path.join(out, "sweep.jsonl"), encoding="utf-8")]
# A session's boxes keep what the run before left; each run empties those it
# does not give, as a batch's fresh form has them.
boxes = ["Txt_Th1", "Txt_Th2", "Txt_Tc1", "Txt_Tc2", "Txt_Qh", "Txt_Qc", "Txt_Wq", "Txt_GF1",
         "Txt_Rhc", "Txt_nh", "Txt_nl"]
for c in lines:
    del c["name"]  # a batch row's name, not a control
    for b in boxes:
        c.setdefault(b, "")
    c.setdefault("flow_unit_h", "m3/h")
    c.setdefault("flow_unit_c", "m3/h")
for n, i in enumerate(range(0, len(lines), 250)):
    with open(os.path.join(out, "session_%02d.case.json" % n), "w", encoding="utf-8") as f:
        json.dump({"runs": lines[i:i + 250]}, f, ensure_ascii=False)
EOF
  local s pids=()
  for s in "$out"/session_*.case.json; do
    (
      # Two sessions at once on one file would read back each other's record.
      db=$(mktemp)
      cp "$bin/br.mdb" "$db"
      rc=0; "$cli" --case "$s" --alternatives --db "$db" >"${s%.case.json}.json" \
        2>"${s%.case.json}.err" || rc=$?
      echo "$rc" >"${s%.case.json}.rc"
      rm -f "$db"
    ) &
    pids+=($!)
    if (( ${#pids[@]} >= 2 )); then wait "${pids[0]}"; pids=("${pids[@]:1}"); fi
  done
  wait
  echo "wrote $(ls "$out" | wc -l) files into $out"
}

compare() {  # OUT1 OUT2
  local a=$1 b=$2 bad=0 n=0 f
  for f in "$a"/*; do
    f=$(basename "$f")
    n=$((n + 1))
    if ! cmp -s "$a/$f" "$b/$f"; then
      echo "DIFFERS: $f" >&2
      bad=$((bad + 1))
    fi
  done
  if [[ $(ls "$a" | wc -l) != $(ls "$b" | wc -l) ]]; then
    echo "the folders hold different files" >&2
    bad=$((bad + 1))
  fi
  local runs rows
  runs=$(python3 -c 'import json,glob,sys
print(sum(len(json.load(open(f))) for f in glob.glob(sys.argv[1] + "/session_[0-9][0-9].json")))' "$a")
  rows=$(cat "$a"/sweep_rows.jsonl "$a"/batch_rows.jsonl | wc -l)
  echo "$n files compared ($runs session runs, $rows batch rows, $(cat "$a"/*.json "$a"/*.jsonl | wc -c) bytes): $bad differ"
  [[ $bad == 0 ]]
}

case ${1:-} in
  write) write "$2" "$3" ;;
  compare) compare "$2" "$3" ;;
  "" | -h | --help) sed -n '2,21p' "$0"; exit 2 ;;
  *)
    work=$(mktemp -d)
    write "$1" "$work/a"
    write "$2" "$work/b"
    compare "$work/a" "$work/b"
    rm -rf "$work"
    ;;
esac

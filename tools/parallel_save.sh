#!/bin/sh
# Several pheselect-cli processes saving their case records into one database
# file at the same time. Every run must have stored its record (no "not
# stored" message, a record read back) and the file must pass SQLite's
# integrity check.
#
#   tools/parallel_save.sh [PROCESSES] [RUNS] [session|loop]
#
# session: each process runs one {"runs": [...]} file of RUNS runs;
# loop: each process starts pheselect-cli RUNS times, one case each.
set -eu
procs=${1:-2}
runs=${2:-200}
mode=${3:-session}
bin=$(dirname "$0")/../build/bin
work=$(mktemp -d /tmp/phe_parallel.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$bin/br.mdb" "$work/t.mdb"

one='{"Com_jh": "Water", "Com_jc": "Water", "Txt_Th1": "90", "Txt_Th2": "70",
 "Txt_Tc1": "50", "Txt_Tc2": "65", "Txt_Wq": "500", "Txt_GF1": "10", "Txt_Ph": "50",
 "Txt_Pc": "50", "Txt_N": "1", "selection": "auto", "calc": "design"}'
echo "$one" > "$work/one.json"
python3 - "$work/runs.json" "$runs" <<EOF
import json, sys
one = json.loads('''$one''')
json.dump({"runs": [one] * int(sys.argv[2])}, open(sys.argv[1], "w"))
EOF

p=1
while [ "$p" -le "$procs" ]; do
  (
    if [ "$mode" = session ]; then
      "$bin/pheselect-cli" --case "$work/runs.json" --db "$work/t.mdb" > "$work/out.$p" 2> "$work/err.$p"
      echo "exit $?" >> "$work/err.$p"
    else
      i=1
      : > "$work/out.$p"
      while [ "$i" -le "$runs" ]; do
        "$bin/pheselect-cli" --case "$work/one.json" --db "$work/t.mdb" >> "$work/out.$p" 2>> "$work/err.$p" ||
          echo "exit $?" >> "$work/err.$p"
        i=$((i + 1))
      done
    fi
  ) &
  p=$((p + 1))
done
wait

python3 - "$work" "$procs" "$runs" "$mode" <<'EOF'
import json, os, sys
work, procs, runs, mode = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
stored = lost = 0
for p in range(1, procs + 1):
    text = open(os.path.join(work, "out.%d" % p)).read()
    if mode == "session":
        results = json.loads(text) if text.strip() else []
    else:
        dec, results, i = json.JSONDecoder(), [], 0
        while i < len(text):
            while i < len(text) and text[i].isspace():
                i += 1
            if i == len(text):
                break
            obj, i = dec.raw_decode(text, i)
            results.append(obj)
    lost += runs - len(results)
    for r in results:
        if r["report"] is not None and not any("未能" in m["text"] for m in r["messages"]):
            stored += 1
        else:
            lost += 1
            print("not stored:", [m["text"] for m in r["messages"]][:2])
    err = open(os.path.join(work, "err.%d" % p)).read().strip()
    if err and err != "exit 0":
        print("process %d stderr: %s" % (p, err[:300]))
print("%d processes x %d runs (%s): %d stored, %d lost" % (procs, runs, mode, stored, lost))
EOF
printf 'integrity_check: '
sqlite3 "$work/t.mdb" 'pragma integrity_check'

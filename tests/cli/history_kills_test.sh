#!/usr/bin/env bash
# A measurement reported as recorded survives a kill at any moment: vqx scan
# --record is killed at random moments, again and again, into one history.
# Afterwards the database passes SQLite's integrity check and holds every
# record a command reported before it was killed.
#
#   history_kills_test.sh VQX [ROUNDS]
set -uo pipefail
vqx="$1"
rounds="${2:-100}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
home="$work/home"
mkdir -p "$home"
cp "$(dirname "$0")/../../data/demo/VELDRAQX.INI" "$home/"
db="$home/VELDRAQXHISTORY.sqlite"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# How long one scan with its record takes here, to spread the kills over it.
start=$(date +%s%N)
"$vqx" scan --simulate --home "$home" --record --seed 1 >/dev/null || { echo "cannot scan"; exit 1; }
took=$((($(date +%s%N) - start) / 1000000))
reported=(1)
killed=0
RANDOM=7
for ((i = 2; i <= rounds + 1; i++)); do
  out="$work/out"
  "$vqx" scan --simulate --home "$home" --record --seed "$i" --json >"$out" 2>/dev/null &
  pid=$!
  # Somewhere between half the scan and a little past its end.
  delay=$((took / 2 + RANDOM % (took * 7 / 10 + 1)))
  sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
  kill -KILL "$pid" 2>/dev/null && killed=$((killed + 1))
  wait "$pid" 2>/dev/null
  id=$(grep -o '"recordId":[0-9]*' "$out" | cut -d: -f2)
  [ -n "$id" ] && reported+=("$id")
done

integrity=$(sqlite3 "$db" "PRAGMA integrity_check")
[ "$integrity" = ok ] || fail "integrity check: $integrity"
records=$(sqlite3 "$db" "SELECT count(*) FROM measurements")
for id in "${reported[@]}"; do
  [ "$(sqlite3 "$db" "SELECT count(*) FROM measurements WHERE id = $id")" = 1 ] || fail "record $id was reported but is missing"
done
# The history is still usable by the program.
"$vqx" history --home "$home" --csv >/dev/null || fail "vqx history cannot read the history"
echo "one scan takes $took ms; $rounds runs, $killed killed, ${#reported[@]} reported records, $records records"
exit $((failures > 0))

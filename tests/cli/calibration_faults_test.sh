#!/usr/bin/env bash
# A calibration saved by `vqx calibrate --simulate` is all old or all new,
# whatever happens to the process: a kill at every rename it makes, a failed
# flush (a full disk) at every fsync, and a file-size limit. After each fault the next use of
# the home folder (here: loading its calibration) finishes or drops the
# interrupted save; then every calibration file is compared with its old and
# its new content.
#
#   calibration_faults_test.sh VQX
set -uo pipefail
vqx="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
files=(VELDRAQX.INI VELDRAQXINI/00007_VELDRAQX.INI VELDRAQXINI/00007_LIN.TXT)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The old calibration: a calibrated home whose three files are then marked,
# so that every old file differs from its new content.
"$vqx" calibrate --simulate --home "$work/old" --serial 7 >/dev/null || { echo "cannot calibrate"; exit 1; }
for f in VELDRAQX.INI VELDRAQXINI/00007_VELDRAQX.INI; do
  sed -i 's/^PixelPerInch=.*/PixelPerInch=3400\r/; s/^LUTX1=.*/LUTX1=9.99999\r/' "$work/old/$f"
done
printf 'OLD\r\n' >"$work/old/VELDRAQXINI/00007_LIN.TXT"
rm -rf "$work/old/CALReports"

# The new calibration: the same run without a fault.
cp -r "$work/old" "$work/new"
"$vqx" calibrate --simulate --home "$work/new" --serial 7 >/dev/null || { echo "cannot calibrate"; exit 1; }
for f in "${files[@]}"; do
  cmp -s "$work/old/$f" "$work/new/$f" && { echo "the old and the new $f are the same"; exit 1; }
done

# Which state the home folder is in: "old", "new" or "mixed <file>".
state_of() {
  local home=$1 seen="" f s
  for f in "${files[@]}"; do
    if cmp -s "$home/$f" "$work/old/$f"; then s=old
    elif cmp -s "$home/$f" "$work/new/$f"; then s=new
    else echo "mixed $f"; return; fi
    if [ -n "$seen" ] && [ "$s" != "$seen" ]; then echo "mixed $f"; return; fi
    seen=$s
  done
  echo "$seen"
}

# Leftovers: temporary files or a journal after the recovery.
leftovers() { find "$1" -name '.*.tmp*' -o -name '.VELDRAQX.journal' | sed "s#^$1/##"; }

# The next use of the home folder: loading its calibration.
recover() { "$vqx" scan --simulate --cal "$1/VELDRAQX.INI" >/dev/null 2>&1; }

count() { strace -f -qq -e trace="$1" -o "$work/trace" "$vqx" calibrate --simulate --home "$2" --serial 7 >/dev/null 2>&1
          grep -c "^[0-9]* *$1(" "$work/trace"; }
cp -r "$work/old" "$work/probe"
renames=$(count rename "$work/probe")
# The calibration, its table, the linearity file and the certificate's save
# are one commit: no other writer can come between them.
commits=$(grep -c '", "[^"]*/\.VELDRAQX\.journal")' "$work/trace")
[ "$commits" -eq 1 ] || fail "a calibration is $commits commits, not one"
rm -rf "$work/probe"; cp -r "$work/old" "$work/probe"
fsyncs=$(count fsync "$work/probe")
echo "a calibration makes $renames renames ($commits commit) and $fsyncs flushes"
[ "$renames" -ge 4 ] && [ "$fsyncs" -ge 4 ] || fail "too few system calls counted"

declare -A outcomes
for ((n = 1; n <= renames; n++)); do
  home="$work/kill$n"; cp -r "$work/old" "$home"
  (strace -f -qq -o /dev/null -e trace=rename -e inject=rename:signal=KILL:when=$n \
    "$vqx" calibrate --simulate --home "$home" --serial 7) >/dev/null 2>&1
  recover "$home"
  s=$(state_of "$home"); outcomes[kill_$s]=$((${outcomes[kill_$s]:-0} + 1))
  [[ "$s" == mixed* ]] && fail "kill at rename $n left a $s"
  left=$(leftovers "$home"); [ -z "$left" ] || fail "kill at rename $n left $left"
  rm -rf "$home"
done

for ((n = 1; n <= fsyncs; n++)); do
  home="$work/full$n"; cp -r "$work/old" "$home"
  out=$(strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:error=ENOSPC:when=$n \
    "$vqx" calibrate --simulate --home "$home" --serial 7 2>&1); status=$?
  recover "$home"
  s=$(state_of "$home"); outcomes[full_$s]=$((${outcomes[full_$s]:-0} + 1))
  [[ "$s" == mixed* ]] && fail "a failed flush $n left a $s"
  if [ "$s" = old ]; then
    [ "$status" -ne 0 ] || fail "a failed flush $n left the old calibration but the command exited 0"
    grep -q "No space left on device" <<<"$out" || fail "a failed flush $n was not named: $out"
  fi
  left=$(leftovers "$home"); [ -z "$left" ] || fail "a failed flush $n left $left"
  rm -rf "$home"
done

# A file-size limit the certificate does not fit: a write error with its
# reason (exit 3), not a process killed by SIGXFSZ; nothing left behind.
home="$work/limit"; cp -r "$work/old" "$home"
out=$(bash -c 'ulimit -f 20; exec "$0" calibrate --simulate --home "$1" --serial 7' "$vqx" "$home" 2>&1); status=$?
[ "$status" -eq 3 ] || fail "under a file-size limit the command exited $status, not 3"
grep -q "File too large" <<<"$out" || fail "the file-size limit was not named"
[ "$(state_of "$home")" = new ] || fail "under a file-size limit the calibration is $(state_of "$home")"
left=$(leftovers "$home"); [ -z "$left" ] || fail "the file-size limit left $left"

# Readers while a calibration is saved: every measurement of a tool image
# uses the old or the new calibration, never a mix of the two.
"$vqx" scan --simulate --save "$work/a.CRY" >/dev/null
depth() { "$vqx" analyse "$work/a.CRY" --cal "$1" --json | grep -o '"depthMm":[^,]*'; }
old_depth=$(depth "$work/old/VELDRAQX.INI"); new_depth=$(depth "$work/new/VELDRAQX.INI")
[ "$old_depth" != "$new_depth" ] || fail "the old and the new calibration measure the same"
home="$work/readers"; cp -r "$work/old" "$home"
"$vqx" calibrate --simulate --home "$home" --serial 7 >/dev/null 2>&1 &
writer=$!
while kill -0 "$writer" 2>/dev/null; do
  d=$(depth "$home/VELDRAQX.INI")
  if [ "$d" = "$old_depth" ]; then outcomes[read_old]=$((${outcomes[read_old]:-0} + 1))
  elif [ "$d" = "$new_depth" ]; then outcomes[read_new]=$((${outcomes[read_new]:-0} + 1))
  else fail "a reader measured $d (old $old_depth, new $new_depth)"; fi
done
wait "$writer" || fail "the calibration beside the readers failed"

for k in "${!outcomes[@]}"; do echo "$k: ${outcomes[$k]}"; done | sort
exit $((failures > 0))

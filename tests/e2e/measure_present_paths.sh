#!/usr/bin/env bash
# tools/measure_present.sh as the README gives it, from a folder above the
# game program: a program named by a relative path is found (the runs take
# place elsewhere), and one that is not there is named in one clear line
# before anything is set up.
set -u
G=${TEVLEGEND:?}
SCRIPT=${MEASURE_PRESENT:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/common.sh"
from=$(dirname "$(dirname "$G")")
rel=$(basename "$(dirname "$G")")/$(basename "$G")

out=$(cd "$from" && bash "$SCRIPT" --check "$rel" 2>&1)
rc=$?
check "a relative path passes the check ($out)" "[ $rc -eq 0 ] && [ \"\${out:0:1}\" = / ] && [ \"\$out\" -ef '$G' ]"

out=$(cd "$from" && timeout 60 bash "$SCRIPT" 3 "$rel" nowhere/tevlegend 2>&1)
rc=$?
check "a missing program fails" "[ $rc -eq 1 ]"
check "a missing program is named in one line ($out)" \
  "[ \"\$out\" = 'measure_present.sh: no game program at nowhere/tevlegend' ]"

echo "measure_present path checks: $fails failed"
[ $fails -eq 0 ]

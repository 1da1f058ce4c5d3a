#!/usr/bin/env bash
# Runs one LZMA2 fuzz target natively.
#   tests/fuzz/run.sh <target binary> <corpus name> replay
#       every seed in tests/fuzz/corpus/<corpus name> once
#   tests/fuzz/run.sh <target binary> <corpus name> <seconds> [work folder]
#       fuzzes for that long; new inputs go to the work folder (not the
#       repository), a failing input to <work folder>/artifacts/. With
#       LZMA2_FUZZ_FRESH=1 the work folder starts empty, so a short run is
#       not spent replaying what earlier runs collected.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?target binary}
name=${2:?corpus name}
what=${3:?replay or seconds}
seeds=$here/corpus/$name
[ -x "$target" ] || { echo "fuzz: $target is not built" >&2; exit 1; }
[ -d "$seeds" ] || { echo "fuzz: no corpus $seeds" >&2; exit 1; }
# Inputs large enough for a few chunks of every kind, not so large that
# mutations get lost in them. A round trip of a few MB at the slowest preset
# has taken 11 s on a busy machine; the unit timeout is for real hangs.
common=(-max_len=16384 -rss_limit_mb=2048 -timeout=120 -print_final_stats=1)
if [ "$what" = replay ]; then
  exec "$target" "${common[@]}" -runs=0 "$seeds"
fi
work=${4:-$(dirname "$target")/work-$name}
[ "${LZMA2_FUZZ_FRESH:-}" = 1 ] && rm -rf "$work/corpus"
mkdir -p "$work/corpus" "$work/artifacts"
status=0
"$target" "${common[@]}" -max_total_time="$what" -artifact_prefix="$work/artifacts/" \
  "$work/corpus" "$seeds" || status=$?
if [ $status -ne 0 ]; then
  echo "fuzz: $name failed; the input is in $work/artifacts/." >&2
  echo "fuzz: once mended, keep it as a seed: cp <input> $seeds/" >&2
fi
exit $status

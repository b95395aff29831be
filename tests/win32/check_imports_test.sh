#!/usr/bin/env bash
# The import check refuses a program that imports a Vista function and
# passes the two programs of this 32-bit tree.
# Usage: check_imports_test.sh SOURCE_DIR PROBE PROGRAM...
set -u
src=$1 probe=$2
shift 2
out=$("$src/scripts/check-imports" "$probe" 2>&1) && { echo "FAIL: the probe passed: $out"; exit 1; }
grep -q 'user32.dll!ShutdownBlockReasonCreate: came with Windows Vista or later' <<<"$out" ||
  { echo "FAIL: the probe's refusal does not name the function: $out"; exit 1; }
"$src/scripts/check-imports" "$@" || exit 1
echo "ok: probe refused; programs pass"

#!/usr/bin/env bash
# The include-order check on small trees of its own: a clean tree passes, an
# include from a floor above, two floors that include each other, an include
# of the test tree and a folder that is no floor each fail with their file
# and line.
set -uo pipefail
checker="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect() {  # expect NAME STATUS PATTERN: run the checker on $work/NAME
  local name=$1 want=$2 pattern=$3 out status
  out=$("$checker" "$work/$name" 2>&1); status=$?
  if [ "$status" -ne "$want" ] || ! grep -qE -- "$pattern" <<<"$out"; then
    echo "FAIL $name: exit $status (want $want), output:"; echo "$out"; failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

tree() {  # tree NAME FILE=CONTENT...: a fresh tree with those files
  local name=$1; shift
  mkdir -p "$work/$name"
  for spec in "$@"; do
    mkdir -p "$(dirname "$work/$name/${spec%%=*}")"
    printf '%s\n' "${spec#*=}" >"$work/$name/${spec%%=*}"
  done
}

tree clean 'base/bitmap.h=#pragma once' 'measure/analyse.h=#include "base/bitmap.h"' \
  'app/main.cpp=#include "calibration/calibration_window.h"' 'calibration/calibration_window.h=#include "ui/sound.h"' \
  'tests/x_test.cpp=#include "app/main.h"'
expect clean 0 'every include keeps the order'

tree upward 'base/bitmap.h=#pragma once' 'measure/analyse.h=#include <vector>
#include "imaging/pixel_ops.h"'
expect upward 1 '^check-layers: measure/analyse.h:2 includes "imaging/pixel_ops.h": imaging/ lies above measure/$'

tree mutual 'app/main_window.cpp=#include "calibration/calibration_window.h"' \
  'calibration/calibration_window.cpp=  #  include "app/app_context.h"'
expect mutual 1 'calibration/calibration_window.cpp:1 includes "app/app_context.h": app/ lies above calibration/'

tree into_tests 'station/setup.cpp=#include "tests/temp_folder.h"'
expect into_tests 1 'station/setup.cpp:1 includes "tests/temp_folder.h" from tests/'

tree stray 'archive/store.cpp=#include "base/bitmap.h"'
expect stray 1 'archive/ holds sources but is no floor'

exit $((failures > 0))

#!/usr/bin/env bash
# Result list model: one-by-one top insertion and check-all of 1,000,000 rows.
set -euo pipefail
QT_QPA_PLATFORM=offscreen "$1/bench/results/model_insert_bench"

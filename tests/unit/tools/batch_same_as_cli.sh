#!/usr/bin/env bash
# The outputs of the batch run under Wine against single native runs of the
# same sources with the same options: byte for byte.
#   batch_same_as_cli.sh QUILLON_CLI SAMPLES_DIR BATCH_OUTPUT_DIR
set -u
cli=$1 samples=$2 out=$3
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quillon-batch-cmp-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0
for name in eeg_blank eeg_tab; do
    "$cli" convert "$samples/$name.txt" --settings "$samples/COND/QUILLON.INI" --preset 2 \
        --delimiter space --rate 100 -o "$scratch/$name.DAT" >/dev/null || failures=$((failures + 1))
    for ext in DAT REF; do
        cmp "$out/$name.$ext" "$scratch/$name.$ext" || failures=$((failures + 1))
    done
done
echo "$failures differences"
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# Compares a DLL's export table (ordinal and name of every export) with an
# expected list of "ordinal name" lines.
#   check_exports.sh OBJDUMP DLL EXPECTED
set -euo pipefail
objdump=$1; dll=$2; expected=$3
[ -f "$dll" ] || { echo "missing $dll (build the Windows presets first)"; exit 1; }
# Every entry of the export address table, named or not: "ordinal name".
actual=$("$objdump" -p "$dll" | awk '
    /^Export Address Table -- Ordinal Base/ { base = $NF + 0; eat = 1; next }
    eat && /\+base\[/ { match($0, /\+base\[ *[0-9]+\]/); o = substr($0, RSTART + 6, RLENGTH - 7) + 0
                         ords[o] = 1; next }
    /^\[Ordinal\/Name Pointer\] Table/ { eat = 0; names = 1; next }
    names && /^\t\[ *[0-9]+\] / { gsub(/[\[\]]/, ""); name[$1 + base] = $2; next }
    names && NF == 0 { names = 0 }
    END { for (o in ords) print o, (o in name ? name[o] : "<no-name>") }
' | sort -n)
want=$(grep -v '^#' "$expected" | sed '/^$/d' | sort -n)
if [ "$actual" != "$want" ]; then
    echo "export table of $(basename "$dll") differs (< expected, > actual):"
    diff <(echo "$want") <(echo "$actual") || true
    exit 1
fi
echo "$(basename "$dll"): $(echo "$actual" | wc -l) exports match"

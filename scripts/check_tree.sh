#!/usr/bin/env bash
# Checks the tree's structure and formatting (run by CI):
#   - no engine file includes a header of the window (quillon/ui), and each
#     engine subsystem includes only the subsystems below it;
#   - every C and C++ file is formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."

# What each engine subsystem may include besides itself (its CMake target
# sees exactly these include folders).
declare -A allowed=(
    [ids]=""
    [store]="ids"
    [source]="store"
    [montage]="store"
    [eeg]="source montage store"
    [psg]="source store"
    [runs]="eeg psg source montage store ids"
    [pages]="runs eeg psg source montage store ids"
    [export]="eeg montage store"
    [preview]="eeg psg source montage store"
)
subsystems="${!allowed[*]}"
failures=0
ui_headers=$(cd quillon/ui && git ls-files '*.h' | xargs -n1 basename | sort -u)

while IFS= read -r file; do
    folder=${file#quillon/engine/}
    folder=${folder%%/*}
    while IFS= read -r included; do
        base=$(basename "$included")
        first=${included%%/*}
        if [[ "$included" == *ui/* ]] || { [[ "$included" != */* ]] && grep -qx "$base" <<<"$ui_headers" &&
            [ ! -e "$(dirname "$file")/$base" ]; }; then
            echo "$file: includes the window's header \"$included\""
            failures=$((failures + 1))
        elif [[ "$included" == */* && " $subsystems " == *" $first "* && "$first" != "$folder" &&
                " ${allowed[$folder]:-} " != *" $first "* ]]; then
            echo "$file: the $folder subsystem includes \"$included\" of $first, which is not below it"
            failures=$((failures + 1))
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files 'quillon/engine/*.cpp' 'quillon/engine/*.h')
if git grep -n 'quillon/ui\|/ui/res\|\bui\b' -- 'quillon/engine/*CMakeLists.txt' >/dev/null; then
    echo "quillon/engine: a CMakeLists.txt names the window's folders"
    failures=$((failures + 1))
fi
echo "include check: $(git ls-files 'quillon/engine/*.cpp' 'quillon/engine/*.h' | wc -l) engine files, $failures problems"

# clang-format fails on the files it would change; with pipefail that must
# not end the script before it names them.
unformatted=$({ git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run --Werror 2>&1 || true; } |
    sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)
if [ -n "$unformatted" ]; then
    echo "not formatted as .clang-format says (clang-format -i FILE):"
    echo "$unformatted"
    failures=$((failures + 1))
else
    echo "format check: $(git ls-files '*.cpp' '*.h' '*.c' | wc -l) files formatted ($(clang-format --version))"
fi
[ "$failures" -eq 0 ]

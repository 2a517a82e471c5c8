#!/usr/bin/env bash
# Runs the text driver under the Japanese locale and under another one (code
# page 1252 by default) and compares the files each run wrote: the settings,
# the patient file and the PSG file must hold the same bytes, the runs'
# scratch folder names aside.
#
#   compare_locale_runs.sh BIN_FOLDER ARTIFACT_FOLDER [OTHER_LOCALE]
set -u
bin_folder=$1; artifacts=$2; other=${3:-C.UTF-8}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for locale in ja_JP.UTF-8 "$other"; do
    out="$artifacts/$locale"
    rm -rf "$out"; mkdir -p "$out"
    QUILLON_WINE_LOCALE=$locale "$here/run_under_wine.sh" "$bin_folder" ui_text_driver.exe \
        @INSTALL@ "@W:$out" || status=1
done
python3 - "$artifacts/ja_JP.UTF-8" "$artifacts/$other" <<'PY' || status=1
import sys
def load(folder, name):
    data = open(f"{folder}/{name}", "rb").read()
    install, artifacts = open(f"{folder}/FOLDERS.TXT", "rb").read().split(b"\n")[:2]
    return data.replace(install, b"@INSTALL@").replace(artifacts, b"@ARTIFACTS@")
failed = 0
for name in ("QUILLON.INI", "PATIENT.INF", "head.edf"):
    same = load(sys.argv[1], name) == load(sys.argv[2], name)
    print(f"{'PASS' if same else 'FAIL'}: {name} holds the same bytes under both locales")
    failed += not same
sys.exit(1 if failed else 0)
PY
exit $status

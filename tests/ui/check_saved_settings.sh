#!/usr/bin/env bash
# What quillon-cli reads from the settings and patient files the desktop
# program wrote at the end of a UI run, and the recording the program's own
# window converted just before: the tool must write the same bytes.
#
#   check_saved_settings.sh QUILLON_CLI ARTIFACT_FOLDER SAMPLE_SOURCE
set -u
cli=$1; saved=$2; sample=$3
[ -s "$saved/QUILLON.INI" ] && [ -s "$saved/PATIENT.INF" ] || { echo "no saved files in $saved"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-saved-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The CLI reads the patient file beside the settings file.
cp "$saved/QUILLON.INI" "$saved/PATIENT.INF" "$work/"
failures=0
check() { if eval "$2"; then echo "PASS: $1"; else echo "FAIL: $1"; failures=$((failures + 1)); fi; }

"$cli" convert "$sample" --type psg --settings "$work/QUILLON.INI" --preset 0 --label-line 1 --data-start-line 2 \
    --bias 1 --delimiter comma -o "$work/out.edf" >"$work/out.txt" 2>&1
check "the tool converts with the saved settings" '[ -s "$work/out.edf" ]'
patient=$(head -c 168 "$work/out.edf" 2>/dev/null | tail -c 160 | head -c 80)
# Signal 1's prefiltering text follows the 256-byte header and 9 signals'
# label, transducer, dimension and four range fields.
prefilter=$(head -c $((256 + 9 * 136 + 80)) "$work/out.edf" 2>/dev/null | tail -c 80)
check "the tool takes the 50 Hz notch chosen in the program" '[[ "$prefilter" == *"N:50Hz"* ]]'
check "the EDF patient field holds the ID, sex and birth year entered in the program" \
    '[[ "$patient" == "UI-0042 M 01-JAN-1975 "* ]]'
# Names outside ASCII travel in the recording's annotations, as UTF-8.
check "the name typed in Japanese and the hospital reach the recording" \
    'grep -aq "Name: 山田 花子" "$work/out.edf" && grep -aq "UI Clinic" "$work/out.edf"'
"$cli" convert "$saved/blank.txt" --type psg --settings "$work/QUILLON.INI" -o "$work/window.edf" \
    >>"$work/out.txt" 2>&1
check "the recording converted in the window equals the tool's, byte for byte" \
    '[ -s "$saved/window.edf" ] && cmp "$saved/window.edf" "$work/window.edf"'
# The EEG run wrote file 1 of a new volume "QUI01"; the settings saved at
# exit have moved EEGFileNo on past it.
mkdir -p "$work/eeg/volume"
sed 's/^EEGFileNo=.*/EEGFileNo=1\r/' "$work/QUILLON.INI" >"$work/eeg/QUILLON.INI"
cp "$work/PATIENT.INF" "$work/eeg/"
"$cli" convert "$saved/blank.txt" --type eeg32 --settings "$work/eeg/QUILLON.INI" --volume "$work/eeg/volume" \
    --create-disk-id QUI01 >>"$work/out.txt" 2>&1
for name in 88000001.DAT 88000001.REF; do
    check "the window's EEG $name equals the tool's, byte for byte" \
        'cmp "$saved/volume/DAT/$name" "$work/eeg/volume/DAT/$name"'
done
[ $failures -eq 0 ] || { echo "patient field: [$patient] prefiltering: [$prefilter]"; cat "$work/out.txt"; }
exit $failures

#!/usr/bin/env bash
# vexa-rec's EDF+ exports read back by a reader no one here wrote: MNE-Python
# (Debian python3-mne, run by Debian's own python3). tests/tools/edf_mne_check.py
# makes the recordings, exports each and compares what MNE reads with the
# recording. Skipped (status 77) only when python3-mne is not installed.
# usage: edf_readers.sh VEXA-REC EXAMPLE.vxa
set -euo pipefail
rec=$1
example=$2
py=/usr/bin/python3
if ! "$py" -c "import mne" >/dev/null 2>&1; then
  echo "SKIPPED: MNE-Python is not installed (scripts/install-deps.sh readers installs python3-mne)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# MNE keeps its configuration in the home folder: a folder of the test's own.
HOME=$work MPLBACKEND=Agg "$py" "$(dirname "$0")/edf_mne_check.py" --run "$rec" "$work" "$example"

#!/usr/bin/env bash
# The benchmark programs on a small generated file: all three run to the end,
# and the dialog benchmark checks that the dialog showed every person, the
# refills and the looked-up person, the vCard one the number of people
# exported and added, the postal one that codes and addresses are found
# (each exits non-zero otherwise); kanaroku-hagaki writes a card for every
# person, and the preview benchmark shows one card.
set -euo pipefail
bin="$1" hagaki="$2"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/300"
python3 "$(dirname "$0")/make_table.py" 300 "$dir/300/AddressTable.csv"
"$bin/table_bench" --data="$dir" --persons=300 --benchmark_min_time=0
QT_QPA_PLATFORM=offscreen "$bin/dialog_bench" "$dir/300" 300
"$bin/vcard_bench" "$dir/300" 300
(cd "$dir/300" && "$hagaki" "$dir/cards.pdf" | grep -q "にはがき 300 枚を書きました")
if [ -f /usr/share/skk/SKK-JISYO.zipcode ]; then "$bin/postal_bench"; fi
QT_QPA_PLATFORM=offscreen "$bin/preview_bench"

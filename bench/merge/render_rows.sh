#!/usr/bin/env bash
# merge --render against render: the time of one `orvanta-cli render` of the
# sample page (a whole run, the browser engine started for it) and the time
# per row of `merge --render` over ROWS rows of a design of that page (the
# engine started once for the run). Pictures that cannot be fetched are left
# blank (--keep-going), so no network is needed.
#   bench/merge/render_rows.sh BUILD_DIR [ROWS]
set -euo pipefail
cli=$(cd "${1:?usage: render_rows.sh BUILD_DIR [ROWS]}" && pwd)/bin/orvanta-cli
rows=${2:-100}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$root/examples/sample.orvanta" "$work" "$rows" <<'PY'
import json, sys
sample, work, rows = sys.argv[1], sys.argv[2], int(sys.argv[3])
project = json.load(open(sample, encoding="utf-8"))
for entry in project["entries"]:
    if entry.get("page") == "tsfengetiao":
        entry["fields"]["title"] = "{{宝贝名称}}"
json.dump(project, open(f"{work}/design.orvanta", "w", encoding="utf-8"), ensure_ascii=False)
with open(f"{work}/products.csv", "w", encoding="utf-8", newline="") as sheet:
    sheet.write("商家编码,宝贝名称\r\n")
    for i in range(rows):
        sheet.write(f"SKU{i},商品 {i}\r\n")
PY
ms() { echo $(( $(date +%s%N) / 1000000 )); }
start=$(ms)
QT_QPA_PLATFORM= "$cli" render "$root/examples/sample.orvanta" --out "$work/one" --keep-going >/dev/null 2>&1
single=$(( $(ms) - start ))
start=$(ms)
QT_QPA_PLATFORM= "$cli" merge "$work/design.orvanta" "$work/products.csv" --out "$work/rows" --render --keep-going \
    >/dev/null 2>&1
all=$(( $(ms) - start ))
echo "render, one run: $single ms; merge --render, $rows rows: $all ms, $(( all / rows )) ms a row"

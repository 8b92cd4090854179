#!/usr/bin/env bash
# libreoffice-check.sh FILE.xls: opens a workbook in LibreOffice Calc (headless) and prints what
# it shows: every sheet's cells as displayed (CSV), the page footer and the formulas.
# Needs libreoffice-calc-nogui (not part of the test suite's packages).
set -euo pipefail
file=$(readlink -f "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
mkdir -p "$HOME"
cd "$work"
soffice --headless --convert-to fods --outdir "$work" "$file" >/dev/null 2>&1
# CSV of every sheet, cells as shown (the last option: sheet 0 = all sheets, one file each).
soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1' \
  --outdir "$work" "$file" >/dev/null 2>&1
base=$(basename "${file%.*}")
/usr/bin/python3 - "$work/$base.fods" <<'PY'
import re, sys
s = open(sys.argv[1], encoding="utf-8").read()
print("sheets:", re.findall(r'<table:table table:name="([^"]*)"', s))
for seg in re.findall(r"<style:footer>(.*?)</style:footer>", s, re.S):
    print("footer:", re.sub(r"<[^>]*>", "", seg.replace("<text:s/>", " ")).strip())
print("formulas:", sorted(set(f.replace("&apos;", "'") for f in re.findall(r'table:formula="of:=([^"]*)"', s)))[:10])
PY
for csv in "$work"/*.csv; do echo "== $(basename "$csv")"; head -n 8 "$csv"; done

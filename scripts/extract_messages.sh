#!/usr/bin/env bash
# Writes the template of every marked message (Translate, FormatMessage,
# MarkMessage and the readers' Format) found under src/ to the file given, or
# to po/vexal.pot. Run from anywhere.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-$root/po/vexal.pot}
cd "$root"
find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort >"$output.files"
xgettext --from-code=UTF-8 --language=C++ --omit-header --sort-by-file --add-location=file \
  --keyword= --keyword=Translate --keyword=FormatMessage --keyword=MarkMessage --keyword=Format \
  --flag=FormatMessage:1:c-format --flag=Format:1:c-format \
  --files-from="$output.files" --output="$output"
rm -f "$output.files"

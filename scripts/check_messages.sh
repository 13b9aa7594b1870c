#!/usr/bin/env bash
# Fails when a message marked in the sources has no Japanese text in
# po/ja.po, when a text there is fuzzy or untranslated, when ja.po keeps a
# text no source uses any more, or when a reason is written as a bare
# literal that bypasses the catalogue.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/scripts/extract_messages.sh" "$work/vexal.pot"
status=0
if ! msgcmp "$root/po/ja.po" "$work/vexal.pot" 2>"$work/missing"; then
  echo "messages without a Japanese text:" >&2
  cat "$work/missing" >&2
  status=1
fi
if [ -n "$(msgattrib --only-fuzzy --no-obsolete "$root/po/ja.po")" ]; then
  echo "fuzzy texts in po/ja.po:" >&2
  msgattrib --only-fuzzy --no-obsolete "$root/po/ja.po" >&2
  status=1
fi
msgmerge --quiet --no-fuzzy-matching --output-file="$work/merged.po" "$root/po/ja.po" "$work/vexal.pot"
if [ -n "$(msgattrib --only-obsolete "$work/merged.po")" ]; then
  echo "texts in po/ja.po that no source uses:" >&2
  msgattrib --only-obsolete "$work/merged.po" >&2
  status=1
fi
# A reason or refusal written as a bare English literal, or glued together
# from literals, never reaches the catalogue: it must go through Translate,
# FormatMessage or the readers' Format.
bare=$(cd "$root" && grep -rnE \
  -e '\b(fail|refuse|bad|Refused|Usage|SetReason|warnings\.push_back|warnings\.emplace_back)\(([a-z_]+, )?(std::string\()?"[^"]*[a-z]{2}' \
  -e '\b(reason|error|error_|why) = (std::string\()?"[^"]*[a-z]{2}' \
  -e 'statusTextChanged\("[^"]*[a-z]{2}' \
  src --include='*.cpp' --include='*.h' | grep -v '^src/app/' || true)
if [ -n "$bare" ]; then
  echo "messages that bypass the catalogue:" >&2
  echo "$bare" >&2
  status=1
fi
exit $status

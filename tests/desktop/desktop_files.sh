#!/usr/bin/env bash
# The desktop integration files validate, the file type database recognises
# a model file by its content as well as by its name, and `cmake --install`
# puts every file in its standard place.
#   desktop_files.sh SOURCE_DIR BUILD_DIR VEXAL_TOOL
set -euo pipefail
source_dir=$1
build_dir=$2
tool=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

appstreamcli validate --no-net "$source_dir/desktop/org.vexal.Vexal.metainfo.xml" ||
  fail "the metainfo file does not validate"
desktop-file-validate "$source_dir/desktop/org.vexal.Vexal.desktop" || fail "the desktop entry does not validate"
xmllint --noout "$source_dir/desktop/vexal-mime.xml" || fail "the file type list is not XML"
bash -n "$source_dir/desktop/vexal-tool.bash" || fail "the completion script does not parse"
for page in vexal.1 vexal-tool.1; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$source_dir/desktop/$page" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "$page: $warnings"
done

# The type database of a private data folder: a model saved under another
# name is still a Vexal model by its first lines.
mkdir -p "$work/data/mime/packages"
cp "$source_dir/desktop/vexal-mime.xml" "$work/data/mime/packages/vexal.xml"
update-mime-database "$work/data/mime" >/dev/null 2>&1
grep -q '^application/x-vexal:\*\.vxl$' "$work/data/mime/globs" || fail "no glob for .vxl"
grep -q 'application/x-vexal' "$work/data/mime/magic" || fail "no magic for application/x-vexal"
"$tool" new "$work/model.vxl"
grep -q '<VEXAL_VER\.' <(head -c 128 "$work/model.vxl") || fail "a new model does not start as the magic expects"

# The thumbnailer's command line makes a PNG.
exec_line=$(sed -n 's/^Exec=//p' "$source_dir/desktop/vexal.thumbnailer")
command=${exec_line//%s/96}
command=${command//%i/$work/model.vxl}
command=${command//%o/$work/thumb.png}
command=${command/vexal-tool/$tool}
$command
[[ $(head -c 8 "$work/thumb.png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
  fail "the thumbnailer wrote no PNG"

# Installed into a staging folder, each file is where the desktop looks.
DESTDIR=$work/stage cmake --install "$build_dir" --prefix /usr >/dev/null
for file in bin/vexal-tool share/man/man1/vexal-tool.1.gz share/thumbnailers/vexal.thumbnailer \
  share/mime/packages/vexal.xml share/bash-completion/completions/vexal-tool \
  share/doc/vexal/copyright share/doc/vexal/changelog.Debian.gz; do
  [[ -f $work/stage/usr/$file ]] || fail "not installed: /usr/$file"
done
if command -v cmark >/dev/null; then
  for page in index tools vexal-tool settings; do
    [[ -f $work/stage/usr/share/doc/vexal/manual/$page.html ]] || fail "manual page not installed: $page"
  done
fi
if [[ -f $build_dir/src/app/vexal ]]; then
  for file in bin/vexal share/man/man1/vexal.1.gz share/applications/org.vexal.Vexal.desktop \
    share/metainfo/org.vexal.Vexal.metainfo.xml share/icons/hicolor/scalable/apps/vexal.svg; do
    [[ -f $work/stage/usr/$file ]] || fail "not installed: /usr/$file"
  done
fi
echo "PASS: desktop files"

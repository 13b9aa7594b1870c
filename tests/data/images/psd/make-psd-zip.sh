#!/bin/sh
# Regenerates the layered Photoshop files with ZIP-compressed layer channels
# and their reference decodes, with ImageMagick 6 (a test-only tool; it
# writes every layer channel as compression 2 when asked for -compress Zip).
# NAME.psd.N.pam is ImageMagick's decode of image N of NAME.psd (0 the
# merged image, N >= 1 layer N, bottom first) as 8-bit RGBA, at the layer's
# own size. Run from this folder; the outputs are committed.
set -eu
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

convert -seed 7 -size 23x17 plasma:fractal -depth 8 "$T/canvas.png"
convert -seed 11 -size 19x11 plasma:fractal -depth 8 "$T/low.png"
convert -seed 3 -size 9x7 plasma:fractal -depth 8 "$T/high.png"
# The low layer gets an alpha ramp so the alpha channel is not constant.
convert "$T/low.png" \( -size 19x11 gradient:white-black -rotate 90 -resize 19x11! \) \
  -alpha off -compose CopyOpacity -composite "$T/low_alpha.png"

# Layers at +3+4 (19 x 11) and +12+2 (9 x 7) on a 23 x 17 canvas.
make() { # output, then options
  out=$1
  shift
  convert "$T/canvas.png" \( "$T/low_alpha.png" -repage +3+4 \) \( "$T/high.png" -repage +12+2 \) "$@" "$out"
}
make zip_rgb8.psd -type TrueColorAlpha -depth 8 -compress Zip
# 16-bit samples with low bytes that are not copies of the high ones.
make zip_rgb16.psd -type TrueColorAlpha -depth 16 -evaluate multiply 1.001 -compress Zip
make zip_grey8.psd -colorspace Gray -depth 8 -compress Zip

for f in zip_rgb8.psd zip_rgb16.psd zip_grey8.psd; do
  for n in 0 1 2; do
    convert "$f[$n]" -alpha set -depth 8 -define pam:tupltype=RGB_ALPHA "$T/out.pam"
    mv "$T/out.pam" "$f.$n.pam"
  done
done

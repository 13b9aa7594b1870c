#!/bin/sh
# Regenerates the image test files and their reference decodes with
# ImageMagick 6 and netpbm (test-only tools). Each sample NAME.EXT gets a
# reference NAME.EXT.pam: 8-bit RGBA, row 0 at the top, as ImageMagick
# decodes it (for layered files: the image the library is expected to show).
# Run from this folder; the outputs are committed.
set -eu
OUT=generated
rm -rf "$OUT"
mkdir -p "$OUT"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

# Sources: odd sizes so row padding and strides matter.
convert -size 23x17 gradient:red-blue -depth 8 "$T/rgb.png"
convert "$T/rgb.png" \( -size 23x17 gradient:white-black -rotate 90 -resize 23x17! \) \
  -alpha off -compose CopyOpacity -composite -depth 8 "$T/rgba.png"
convert -seed 7 -size 23x17 plasma:fractal -depth 8 "$T/plasma.png"
convert "$T/plasma.png" -colorspace Gray -depth 8 "$T/grey.png"

ref() { # file [imagemagick input suffix]
  convert "$1${2:-}" -auto-orient -alpha set -depth 8 -define pam:tupltype=RGB_ALPHA "$1.pam.tmp.pam"
  mv "$1.pam.tmp.pam" "$1.pam"
}

# TGA: true colour raw and run-length, with alpha, colour-mapped, grey.
convert "$T/plasma.png" -compress None "$OUT/tga_rgb24.tga"
convert "$T/plasma.png" -compress RLE "$OUT/tga_rgb24_rle.tga"
convert "$T/rgba.png" -compress None "$OUT/tga_rgba32.tga"
convert "$T/rgba.png" -compress RLE "$OUT/tga_rgba32_rle.tga"
convert "$T/plasma.png" -colors 40 -type Palette -compress None "$OUT/tga_cmap8.tga"
convert "$T/plasma.png" -colors 40 -type Palette -compress RLE "$OUT/tga_cmap8_rle.tga"
convert "$T/grey.png" -type Grayscale -compress None "$OUT/tga_grey8.tga"
convert "$T/grey.png" -type Grayscale -compress RLE "$OUT/tga_grey8_rle.tga"

# BMP: Windows 24/32 bit, palettes of 1/4/8 bits, 16-bit 5-5-5 and 5-6-5
# masks, the OS/2 (12-byte header) variant from netpbm.
convert "$T/plasma.png" -alpha off bmp3:"$OUT/bmp_rgb24.bmp"
convert "$T/rgba.png" bmp:"$OUT/bmp_rgba32_v5.bmp"
convert "$T/plasma.png" -alpha off -colors 2 -type Palette bmp3:"$OUT/bmp_pal1.bmp"
convert "$T/plasma.png" -alpha off -colors 12 -type Palette bmp3:"$OUT/bmp_pal4.bmp"
convert "$T/plasma.png" -alpha off -colors 100 -type Palette bmp3:"$OUT/bmp_pal8.bmp"
convert "$T/plasma.png" -alpha off -define bmp:subtype=RGB555 bmp:"$OUT/bmp_rgb555.bmp"
convert "$T/plasma.png" -alpha off -define bmp:subtype=RGB565 bmp:"$OUT/bmp_rgb565.bmp"
pngtopnm "$T/plasma.png" | ppmtobmp -os2 > "$OUT/bmp_os2_24.bmp"
pngtopnm "$T/plasma.png" | pnmquant 16 2>/dev/null | ppmtobmp -os2 > "$OUT/bmp_os2_pal4.bmp"

# PNG: palette with and without transparency, grey depths, grey+alpha,
# 16-bit colour, interlaced.
convert "$T/plasma.png" -colors 30 png8:"$OUT/png_pal8.png"
convert "$T/rgba.png" -colors 30 png8:"$OUT/png_pal8_trns.png"
convert "$T/plasma.png" -colors 4 -type Palette -define png:bit-depth=2 png8:"$OUT/png_pal2.png"
convert "$T/grey.png" -depth 1 -type Grayscale png:"$OUT/png_grey1.png"
convert "$T/grey.png" -depth 4 -type Grayscale png:"$OUT/png_grey4.png"
convert "$T/grey.png" -depth 16 -define png:bit-depth=16 -define png:color-type=0 -evaluate multiply 1.001 png:"$OUT/png_grey16.png"
convert "$T/grey.png" "$T/rgba.png" -compose CopyOpacity -composite -type GrayscaleAlpha png:"$OUT/png_greyalpha.png"
convert "$T/plasma.png" -depth 16 png48:"$OUT/png_rgb16.png"
convert "$T/rgba.png" -interlace PNG png32:"$OUT/png_rgba_interlaced.png"

# JPEG colour and grey (compared with a tolerance).
convert "$T/plasma.png" -quality 90 "$OUT/jpeg_rgb.jpg"
convert "$T/grey.png" -type Grayscale -quality 90 "$OUT/jpeg_grey.jpg"
convert "$T/plasma.png" -quality 90 -interlace JPEG "$OUT/jpeg_progressive.jpg"

# GIF: one frame; three frames with transparency and offsets, never
# disposed (the reference is the last coalesced frame); interlaced.
convert "$T/plasma.png" -colors 64 "$OUT/gif_single.gif"
convert -dispose none \( "$T/plasma.png" -colors 32 \) \
  \( -size 9x7 xc:yellow -transparent yellow -fill red -draw "rectangle 2,2 6,4" -set page +5+4 \) \
  \( -size 6x6 xc:blue -set page +15+9 \) -loop 0 "$OUT/gif_frames.gif"
convert "$T/plasma.png" -colors 64 -interlace GIF "$OUT/gif_interlaced.gif"

# ICO: the first image of the file.
convert "$T/rgba.png" "$OUT/ico_rgba.ico"
convert "$T/plasma.png" -alpha off -colors 16 -type Palette "$OUT/ico_pal.ico"

# PSD: merged image of a flat and of an RGBA document.
convert "$T/plasma.png" -alpha off "$OUT/psd_rgb.psd"
convert "$T/rgba.png" "$OUT/psd_rgba.psd"
convert "$T/grey.png" -type Grayscale "$OUT/psd_grey.psd"

for f in "$OUT"/*; do
  case "$f" in
    *.gif) convert "$f" -coalesce "$T/c.png" 2>/dev/null || true
           last=$(ls "$T"/c*.png | sort -V | tail -1)
           convert "$last" -auto-orient -alpha set -depth 8 -define pam:tupltype=RGB_ALPHA "$f.pam"
           rm -f "$T"/c*.png ;;
    # ImageMagick shows the merged image of a document with transparency
    # blended over white; the document's single layer holds the same pixels
    # with their own alpha, which is what the merged data really stores.
    *psd_rgba.psd) ref "$f" "[1]" ;;
    *.ico|*.psd) ref "$f" "[0]" ;;
    *) ref "$f" ;;
  esac
done
echo "generated $(ls "$OUT" | wc -l) files"

#!/usr/bin/env bash
# Makes the window's pictures with ImageMagick; the results are committed, so a build does not
# need ImageMagick. Run again after changing this script.
#   background.jpg  533 x 300, a soft blurred wash: pink on the left, white, blue on the right
#   icon.png        128 x 128, 32 bits per pixel (the source of vevidav.ico)
#   vevidav.ico     the icon resource: that one 128 x 128 32-bit image
set -euo pipefail
cd "$(dirname "$0")"

# Three colour stops stretched across the width, a little noise for a painted look, then blurred.
convert xc:'#f5a9c8' xc:'#ffffff' xc:'#a7cdf2' +append \
  -filter triangle -resize '533x300!' \
  -seed 4 -attenuate 0.35 +noise Gaussian -blur 0x10 \
  -strip -interlace none -sampling-factor 4:2:0 -quality 92 background.jpg

# A stack of pages cut in two: the program's job at a glance.
convert -size 128x128 xc:none \
  -fill '#f08bb5' -draw 'roundrectangle 6,6 121,121 22,22' \
  -fill '#7fb3ea' -draw 'polygon 121,6 121,121 6,121' \
  -fill white -stroke '#5a6b80' -strokewidth 3 \
  -draw 'roundrectangle 34,20 94,60 6,6' -draw 'roundrectangle 34,68 94,108 6,6' \
  -stroke '#5a6b80' -strokewidth 3 \
  -draw 'line 44,32 84,32' -draw 'line 44,44 78,44' \
  -draw 'line 44,80 84,80' -draw 'line 44,92 78,92' \
  -define png:color-type=6 icon.png
convert icon.png -define icon:auto-resize=128 vevidav.ico

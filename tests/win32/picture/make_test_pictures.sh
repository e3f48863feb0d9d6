#!/bin/sh
# Remakes the test pictures (ImageMagick): a 60 x 40 JPEG, red on its left
# half and blue on its right, and bytes that are no picture at all.
set -e
cd "$(dirname "$0")"
convert -size 60x40 xc:'#2060c0' -fill '#e04020' -draw 'rectangle 0,0 29,39' -quality 95 two_colour.jpg
printf 'this is not a picture at all' >not_a_picture.bin

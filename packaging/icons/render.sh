#!/bin/sh
# Renders the 48 and 128 pixel icons from the drawings; run after changing an .svg here.
set -eu
cd "$(dirname "$0")"
for name in korvex tavrel; do
  for size in 48 128; do
    rsvg-convert -w "$size" -h "$size" "$name.svg" -o "$name-$size.png"
  done
done

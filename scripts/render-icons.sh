#!/usr/bin/env bash
# Renders the program's scalable icon into the PNG sizes of the hicolor theme that are kept in the tree.
# Run it after changing resources/icons/varnel.svg (needs rsvg-convert from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" varnel.svg -o "hicolor/${size}x${size}/apps/varnel.png"
done

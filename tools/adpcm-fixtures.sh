#!/usr/bin/env bash
# Regenerates the DSP-ADPCM decoder fixtures under tests/data/adpcm: small
# GENH files of random frames and of an encoded tone, each with the output
# of FFmpeg's decoder (never our own) as little-endian 16-bit samples.
#
#   tools/adpcm-fixtures.sh <build folder>
#
# The decode command, for every file:
#   ffmpeg -v error -f genh -i <file>.genh -f s16le <file>.s16le
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: tools/adpcm-fixtures.sh <build folder>}"
out="$root/tests/data/adpcm"
cmake --build "$build" --target adpcmgenh
tool="$build/tools/adpcmgenh"
mkdir -p "$out"

"$tool" random 1 160 "$out/random-1.genh"
"$tool" random 2 400 "$out/random-2.genh"
"$tool" random 3 23 "$out/random-3.genh"
"$tool" tone 440 4000 "$out/tone-440.genh"

for f in "$out"/*.genh; do
  ffmpeg -v error -y -f genh -i "$f" -f s16le "${f%.genh}.s16le"
done
{
  echo "Decoded with: ffmpeg -v error -f genh -i <file>.genh -f s16le <file>.s16le"
  ffmpeg -version | head -n 1
} > "$out/FFMPEG_VERSION.txt"

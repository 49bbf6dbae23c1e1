#!/bin/sh
# Builds the PowerPC logic-module fixtures into OUT (default: the committed
# tests/data/logic) with Debian's cross toolchain:
#   gcc-powerpc-linux-gnu binutils-powerpc-linux-gnu
#
# Compiled modules (C) are merged into one .text with merge.ld and linked
# by the cross linker at two bases as the reference for the engine's
# linker: NAME.o, NAME.<base>.bin (the linked .text), NAME.nm (the merged
# object's symbols) and NAME.undefined (its undefined names). Every
# undefined name but memcpy is placed at the base, where the engine's
# linker resolves it. Assembled modules only give NAME.o.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
src="$root/tests/data/logic/src"
out=${1:-"$root/tests/data/logic"}
cross=${CROSS:-powerpc-linux-gnu-}
memcpy=0x80003000
bases="0x80100000 0x80108000"

mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for c in "$src"/*.c; do
	stem=$(basename "$c" .c)
	name=$(echo "$stem" | tr 'a-z' 'A-Z')
	"${cross}gcc" -O2 -mcpu=750 -fno-pic -fno-pie -msdata=none -G 0 -fno-common -ffreestanding \
		-fno-asynchronous-unwind-tables -fno-exceptions -c "$c" -o "$work/$stem.o"
	"${cross}ld" -r -T "$here/merge.ld" -o "$out/$name.o" "$work/$stem.o"
	"${cross}nm" "$out/$name.o" | grep -v ' U ' | LC_ALL=C sort -k3 > "$out/$name.nm"
	"${cross}nm" -u "$out/$name.o" | awk '{ print $2 }' > "$out/$name.undefined"
	for base in $bases; do
		defs=""
		for symbol in $(cat "$out/$name.undefined"); do
			[ "$symbol" = memcpy ] || defs="$defs --defsym $symbol=$base"
		done
		# shellcheck disable=SC2086
		"${cross}ld" --no-warn-rwx-segments -N -e 0 -Ttext=$base --defsym memcpy=$memcpy $defs -o "$work/$name.elf" "$out/$name.o"
		"${cross}objcopy" -O binary -j .text "$work/$name.elf" "$out/$name.$base.bin"
	done
done

for s in "$src"/*.s; do
	stem=$(basename "$s" .s)
	name=$(echo "$stem" | tr 'a-z' 'A-Z')
	"${cross}as" -mregnames -o "$out/$name.o" "$s"
done

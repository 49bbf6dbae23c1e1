#!/usr/bin/env bash
# Regenerates the movie test corpus in tests/data/movie.
#
#   tools/movie-corpus.sh [--tools DIR] [--out DIR] [--check]
#
# Every stream is made by FFmpeg from its test sources with fixed options,
# rewritten and muxed by our own m4vrewrite and vidmux (from DIR, default
# build/default/tools), and stored with FFmpeg's reference decode and
# ffprobe's picture list. Each output is checked against what its options
# asked for. --check writes the corpus to a scratch folder and compares it
# byte for byte with the committed one: with the FFmpeg version recorded in
# ffmpeg-version.txt the two are identical. The committed files are the
# reference; CI does not regenerate them.
#
# Files per stream NAME:
#   NAME.m4v          the elementary stream as FFmpeg wrote it
#   NAME.vid          the movie (tracks from NAME.trackT.s16 when present)
#   NAME.yuv          FFmpeg's decode of NAME.m4v, yuv420p, display order
#                     (NAME.framemd5 instead for the large benchmark stream)
#   NAME.probe.csv    ffprobe's frames in display order: time, type,
#                     interlaced, top field first
#   NAME.frames.txt   our frame list in file order: type, forward and
#                     backward f-code, time in ticks of time_resolution
#   NAME.trackT.s16   the sound of track T: 16-bit little-endian stereo
#                     at 32000 Hz, left first
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
tools="$root/build/default/tools"
out="$root/tests/data/movie"
check=0
while [ $# -gt 0 ]; do
	case "$1" in
		--tools) tools=$2; shift 2 ;;
		--out) out=$2; shift 2 ;;
		--check) check=1; shift ;;
		*) echo "usage: $0 [--tools DIR] [--out DIR] [--check]" >&2; exit 2 ;;
	esac
done
for program in "$tools/m4vrewrite" "$tools/vidmux"; do
	[ -x "$program" ] || { echo "movie-corpus: $program is missing; build the tools first" >&2; exit 1; }
done
command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || { echo "movie-corpus: ffmpeg and ffprobe are needed" >&2; exit 1; }
encoders=$(ffmpeg -hide_banner -encoders 2>/dev/null)
[[ "$encoders" == *libxvid* ]] || { echo "movie-corpus: this ffmpeg has no libxvid" >&2; exit 1; }

committed="$out"
if [ "$check" = 1 ]; then
	out=$(mktemp -d)
	trap 'rm -rf "$out"' EXIT
fi
mkdir -p "$out"

fail() { echo "movie-corpus: $*" >&2; exit 1; }
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# The layer setting KEY of a stream, from m4vrewrite's summary.
layer() { "$tools/m4vrewrite" --layer "$out/$1.m4v" | awk -v key="$2" '$1 == key { print $2 }'; }

# Stream NAME from testsrc2 at WxH, FRAMES pictures, extra options after.
native() {
	local name=$1 size=$2 frames=$3
	shift 3
	ff -f lavfi -i "testsrc2=size=$size:rate=30" -frames:v "$frames" -c:v mpeg4 -threads 1 "$@" -f m4v "$out/$name.m4v"
}

# Two sine tones as one stereo track of SECONDS seconds.
tone() {
	local file=$1 left=$2 right=$3 seconds=$4
	ff -f lavfi -i "sine=frequency=$left:sample_rate=32000:duration=$seconds" \
	   -f lavfi -i "sine=frequency=$right:sample_rate=32000:duration=$seconds" \
	   -filter_complex "[0:a][1:a]amerge=inputs=2[a]" -map "[a]" -c:a pcm_s16le -f s16le "$out/$file"
}

# Reference decode, picture list, our frame list and the movie; then the
# checks every stream passes.
derive() {
	local name=$1
	shift
	"$tools/m4vrewrite" "$out/$name.m4v" "$out/$name.frames.txt" || fail "$name: m4vrewrite refused the stream"
	# The reference decodes with one thread: FFmpeg's frame threads do not
	# hand the co-located field vectors of interlaced references to the
	# thread that decodes the B frame, so with several threads its direct
	# mode reads whatever vectors that thread saw last.
	if [ "$name" = bench ]; then
		ff -threads 1 -idct simple -i "$out/$name.m4v" -f framemd5 -pix_fmt yuv420p "$out/$name.framemd5"
	else
		ff -threads 1 -idct simple -i "$out/$name.m4v" -f rawvideo -pix_fmt yuv420p "$out/$name.yuv"
	fi
	ffprobe -hide_banner -loglevel error -show_frames -select_streams v \
		-show_entries frame=pts_time,pict_type,interlaced_frame,top_field_first -of csv=p=0 \
		"$out/$name.m4v" >"$out/$name.probe.csv"
	local tracks=()
	for t in "$@"; do tracks+=(--track "$out/$t"); done
	"$tools/vidmux" "${tracks[@]}" "$out/$name.m4v" "$out/$name.vid" || fail "$name: vidmux failed"

	# Our file-order list, reordered into display order (each reference
	# moved after the B frames that follow it), must give ffprobe's types
	# and times.
	local ours theirs
	ours=$(awk 'NR == 1 { res = $2; next }
		function show(t, tick) { printf "%s %.6f\n", t, tick / res }
		$1 == "B" { show($1, $4); next }
		{ if (held != "") show(held, heldTime); held = $1; heldTime = $4 }
		END { if (held != "") show(held, heldTime) }' "$out/$name.frames.txt")
	theirs=$(awk -F, '{ printf "%s %s\n", $2, $1 }' "$out/$name.probe.csv")
	[ "$ours" = "$theirs" ] || fail "$name: frame types or times differ from ffprobe"
}

types() { awk 'NR > 1 { printf "%s", $1 }' "$out/$1.frames.txt"; }
expect() { [ "$(layer "$1" "$2")" = "$3" ] || fail "$1: $2 is $(layer "$1" "$2"), expected $3"; }

ffmpeg -version | head -n 1 >"$out/ffmpeg-version.txt"

native ionly 96x64 12 -g 1
derive ionly
[[ "$(types ionly)" =~ ^I+$ ]] || fail "ionly: not every frame is an I frame"

native ip 96x64 12 -g 12 -qscale:v 4
tone ip.track0.s16 440 550 0.4
tone ip.track1.s16 660 770 0.4
derive ip ip.track0.s16 ip.track1.s16
[[ "$(types ip)" =~ ^IP+$ ]] || fail "ip: expected one I frame and P frames"

native bframes 96x64 15 -g 12 -bf 2 -b_strategy 0
tone bframes.track0.s16 440 550 0.5
derive bframes bframes.track0.s16
[[ "$(types bframes)" == *B* ]] || fail "bframes: no B frame"

native mv4 96x64 12 -g 12 -flags +mv4 -vf "scroll=horizontal=0.02:vertical=0.01"
derive mv4

native mpegquant 96x64 12 -g 12 -bf 1 -mpeg_quant 1
derive mpegquant
expect mpegquant quant_type 1
expect mpegquant load_intra_quant_mat 0
expect mpegquant load_nonintra_quant_mat 0

intra=$(seq -s, 8 71)
inter=$(seq -s, 20 83)
native mpegmatrix 96x64 12 -g 12 -bf 1 -mpeg_quant 1 -intra_matrix "$intra" -inter_matrix "$inter"
derive mpegmatrix
expect mpegmatrix quant_type 1
expect mpegmatrix load_intra_quant_mat 1
expect mpegmatrix load_nonintra_quant_mat 1

native interlacedtop 96x64 12 -g 12 -bf 2 -b_strategy 0 -flags +ildct+ilme -top 1
derive interlacedtop
expect interlacedtop interlaced 1
expect interlacedtop top_field_first_planes 12

native interlacedbottom 96x64 12 -g 12 -bf 1 -flags +ildct+ilme -top 0 -alternate_scan 1
derive interlacedbottom
expect interlacedbottom interlaced 1
expect interlacedbottom top_field_first_planes 0
expect interlacedbottom alternate_vertical_scan_planes 12

# Field-predicted references under B-frames in direct mode: the field
# vectors scaled by each field's own distances.
native interlacedfield 320x240 16 -flags +ildct+ilme -top 1 -bf 1 -q:v 4
derive interlacedfield
expect interlacedfield interlaced 1
expect interlacedfield width 320

native interlacedmotion 208x160 15 -g 15 -bf 2 -b_strategy 0 -q:v 6 -flags +ildct+ilme -top 0 -vf "scroll=horizontal=0.03:vertical=0.02"
derive interlacedmotion
expect interlacedmotion interlaced 1
expect interlacedmotion top_field_first_planes 0
[[ "$(types interlacedmotion)" == *BB* ]] || fail "interlacedmotion: no two B frames in a row"

native motion 176x144 12 -g 12 -qscale:v 8 -vf "scroll=horizontal=0.2:vertical=0.1"
derive motion
expect motion width 176
expect motion height 144
[ "$(layer motion largest_fcode)" -ge 3 ] || fail "motion: no f-code of 3 or more"

native oddsize 120x72 12 -g 12 -bf 1
derive oddsize
expect oddsize width 120
expect oddsize height 72

ff -f lavfi -i "testsrc2=size=96x64:rate=30" -vf "scroll=horizontal=0.005:vertical=0.003" -frames:v 20 \
	-c:v libxvid -gmc 1 -bf 1 -threads 1 -bsf:v mpeg4_unpack_bframes -f m4v "$out/gmc.m4v"
derive gmc
expect gmc sprite_enable 2
[[ "$(types gmc)" == *S* ]] || fail "gmc: no S frame"

native bench 640x448 10 -g 12 -bf 2 -b_strategy 0 -qscale:v 5
derive bench
expect bench width 640
expect bench height 448

if [ "$check" = 1 ]; then
	status=0
	for file in "$out"/*; do
		cmp -s "$file" "$committed/$(basename "$file")" || { echo "movie-corpus: $(basename "$file") differs" >&2; status=1; }
	done
	[ "$status" = 0 ] && echo "movie-corpus: the committed corpus is reproduced byte for byte"
	exit $status
fi
du -sh "$out"

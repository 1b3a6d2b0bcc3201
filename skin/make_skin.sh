#!/usr/bin/env bash
# Builds every skin picture into OUT from the sources in SRC: the background is rasterized as it
# stands; button strips are generated from a glyph and a frame style, and every picture that sits
# on the background is laid over the background pixels of its place, so it is opaque and seamless.
# Usage: make_skin.sh SRC OUT
set -euo pipefail
src=$1
out=$2
work=$out/.work
mkdir -p "$out" "$work"
RSVG=${RSVG:-rsvg-convert}
CONVERT=${CONVERT:-convert}

calc() { awk "BEGIN { print $* }"; }

raster() { "$RSVG" "$1" -o "$2"; }

# The background, flattened onto the body colour (the corners fall outside the window's region).
raster "$src/skin_bg.svg" "$work/bg.png"
"$CONVERT" "$work/bg.png" -background '#C4C5EF' -flatten -alpha off "$work/bg_flat.png"
"$CONVERT" "$work/bg_flat.png" -type TrueColor BMP3:"$out/skin_bg.bmp"

# place SVG X Y FRAMES OUTFILE: rasterize the strip and lay it over the background at X,Y,
# repeated for every frame. OUTFILE's extension picks PNG or 24-bit BMP.
place() {
  local svg=$1 x=$2 y=$3 frames=$4 dest=$5 name
  name=$(basename "$dest")
  raster "$svg" "$work/$name.glyph.png"
  local w h fw
  w=$("$CONVERT" "$work/$name.glyph.png" -format '%w' info:)
  h=$("$CONVERT" "$work/$name.glyph.png" -format '%h' info:)
  fw=$((w / frames))
  "$CONVERT" "$work/bg_flat.png" -crop "${fw}x${h}+${x}+${y}" +repage "$work/$name.crop.png"
  if [ "$frames" -gt 1 ]; then
    "$CONVERT" "$work/$name.crop.png" -duplicate $((frames - 1)) +append "$work/$name.tiles.png"
  else
    cp "$work/$name.crop.png" "$work/$name.tiles.png"
  fi
  case "$dest" in
    *.bmp) "$CONVERT" "$work/$name.tiles.png" "$work/$name.glyph.png" -composite -alpha off -type TrueColor BMP3:"$dest" ;;
    *) "$CONVERT" "$work/$name.tiles.png" "$work/$name.glyph.png" -composite -alpha off PNG24:"$dest" ;;
  esac
}

# opaque SVG OUTFILE: a picture that carries its own background.
opaque() {
  raster "$1" "$work/$(basename "$2").png"
  "$CONVERT" "$work/$(basename "$2").png" -background '#FF00FF' -flatten -alpha off PNG24:"$2"
}

glyph() { cat "$src/glyphs/$1.frag"; }

COMMON_DEFS='
<linearGradient id="fn" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#B3BEF0"/><stop offset="1" stop-color="#5C6BB8"/></linearGradient>
<linearGradient id="fh" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#D3DBFF"/><stop offset="1" stop-color="#7689DB"/></linearGradient>
<linearGradient id="fp" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#4A5AA3"/><stop offset="1" stop-color="#8393D6"/></linearGradient>
<linearGradient id="fd" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#E4E5F4"/><stop offset="1" stop-color="#C3C6E2"/></linearGradient>
<linearGradient id="bezel" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#FFFFFF"/><stop offset="1" stop-color="#8E97D0"/></linearGradient>
<linearGradient id="gloss" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#FFFFFF" stop-opacity="0.75"/><stop offset="1" stop-color="#FFFFFF" stop-opacity="0.05"/></linearGradient>
<linearGradient id="pillface" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#8E9BDA"/><stop offset="1" stop-color="#6A79C2"/></linearGradient>
<radialGradient id="recdot" cx="0.4" cy="0.35" r="0.7"><stop offset="0" stop-color="#FF7A7A"/><stop offset="1" stop-color="#C0182A"/></radialGradient>
<filter id="grey" x="-20%" y="-20%" width="140%" height="140%"><feColorMatrix type="saturate" values="0.1"/><feComponentTransfer><feFuncA type="linear" slope="0.45"/></feComponentTransfer></filter>
<filter id="shadow" x="-30%" y="-30%" width="160%" height="160%"><feGaussianBlur stdDeviation="0.6"/></filter>'

svg_open() { printf '<svg xmlns="http://www.w3.org/2000/svg" width="%s" height="%s"><defs>%s</defs>\n' "$1" "$2" "$COMMON_DEFS"; }

# Round transport button of size S, four frames: normal, hover, pressed, disabled.
round4() {
  local s=$1 g=$2 scale=$3 c r1 r2
  c=$(calc "$s / 2"); r1=$(calc "$s / 2 - 0.6"); r2=$(calc "$s / 2 - 2.6")
  svg_open $((s * 4)) "$s"
  local i face glyphfill dx dy gloss filt ring
  for i in 0 1 2 3; do
    case $i in
      0) face=fn; glyphfill='#FFFFFF'; dx=0; dy=0; gloss=1; filt=''; ring='#4A589C' ;;
      1) face=fh; glyphfill='#FFFFFF'; dx=0; dy=0; gloss=1; filt=''; ring='#FFFFFF' ;;
      2) face=fp; glyphfill='#EEF1FF'; dx=0.6; dy=0.8; gloss=0; filt=''; ring='#3C4A8E' ;;
      3) face=fd; glyphfill='#F7F7FC'; dx=0; dy=0; gloss=0; filt='filter="url(#grey)"'; ring='#B5B8D8' ;;
    esac
    printf '<g transform="translate(%s,%s)">\n' "$(calc "$i * $s + $c")" "$c"
    printf '<circle r="%s" cy="0.6" fill="#3A4580" opacity="0.25"/>\n' "$r1"
    printf '<circle r="%s" fill="url(#bezel)"/>\n' "$r1"
    printf '<circle r="%s" fill="url(#%s)" stroke="%s" stroke-width="0.9"/>\n' "$r2" "$face" "$ring"
    [ "$gloss" = 1 ] && printf '<ellipse cy="%s" rx="%s" ry="%s" fill="url(#gloss)"/>\n' \
      "$(calc "-$r2 * 0.45")" "$(calc "$r2 * 0.72")" "$(calc "$r2 * 0.45")"
    if [ "$i" != 3 ]; then
      printf '<g transform="translate(%s,%s) scale(%s)" color="#26306A" opacity="0.45" filter="url(#shadow)">%s</g>\n' \
        "$(calc "$dx + 0.3")" "$(calc "$dy + 1")" "$scale" "$(glyph "$g")"
    fi
    printf '<g transform="translate(%s,%s) scale(%s)" color="%s" %s>%s</g>\n' "$dx" "$dy" "$scale" "$glyphfill" "$filt" "$(glyph "$g")"
    printf '</g>\n'
  done
  printf '</svg>\n'
}

# Small round window button (19 px), three frames: normal, disabled, hover.
win3() {
  local g=$1 hover=$2
  svg_open 57 19
  local i fill stroke col op
  for i in 0 1 2; do
    case $i in
      0) fill='#7786CB'; stroke='#DCE2FF'; col='#FFFFFF'; op=1 ;;
      1) fill='#8A97D0'; stroke='#A9B3E4'; col='#B9C2EA'; op=1 ;;
      2) fill="$hover"; stroke='#FFFFFF'; col='#FFFFFF'; op=1 ;;
    esac
    printf '<g transform="translate(%s,9.5)" opacity="%s">\n' $((i * 19 + 9)).5 "$op"
    printf '<circle r="8.4" fill="%s" stroke="%s" stroke-width="1"/>\n' "$fill" "$stroke"
    [ $i != 1 ] && printf '<ellipse cy="-4" rx="5.6" ry="3.4" fill="url(#gloss)" opacity="0.6"/>\n'
    printf '<g color="%s">%s</g></g>\n' "$col" "$(glyph "$g")"
  done
  printf '</svg>\n'
}

# Rounded-rectangle button W x H, three frames: normal, disabled, hover.
pill3() {
  local w=$1 h=$2 g=$3 r=$4
  svg_open $((w * 3)) "$h"
  local i face col stroke filt
  for i in 0 1 2; do
    case $i in
      0) face=fn; col='#FFFFFF'; stroke='#4A589C'; filt='' ;;
      1) face=fd; col='#F7F7FC'; stroke='#B5B8D8'; filt='' ;;
      2) face=fh; col='#FFFFFF'; stroke='#FFFFFF'; filt='' ;;
    esac
    printf '<g transform="translate(%s,0)">\n' $((i * w))
    printf '<rect x="0.5" y="1" width="%s" height="%s" rx="%s" fill="#3A4580" opacity="0.25"/>\n' $((w - 1)) $((h - 1)) "$r"
    printf '<rect x="0.5" y="0.5" width="%s" height="%s" rx="%s" fill="url(#%s)" stroke="%s"/>\n' $((w - 1)) $((h - 2)) "$r" "$face" "$stroke"
    [ $i != 1 ] && printf '<rect x="3" y="1.5" width="%s" height="%s" rx="%s" fill="url(#gloss)" opacity="0.8"/>\n' $((w - 6)) $(((h - 2) / 2)) "$((r / 2))"
    [ $i != 1 ] && printf '<g transform="translate(%s,%s)" color="#26306A" opacity="0.4" filter="url(#shadow)">%s</g>\n' \
      "$((w / 2)).3" "$(((h - 1) / 2)).9" "$(glyph "$g")"
    printf '<g transform="translate(%s,%s)" color="%s" %s>%s</g>\n' "$((w / 2))" "$(((h - 1) / 2))" "$col" "$filt" "$(glyph "$g")"
    printf '</g>\n'
  done
  printf '</svg>\n'
}

# The open-file button: a soft tile, three frames: normal, disabled, hover.
tile3() {
  local g=$1
  svg_open 63 18
  local i fill stroke col
  for i in 0 1 2; do
    case $i in
      0) fill='#EEEEFF'; stroke='#9AA3DA'; col='#5565B0' ;;
      1) fill='#E6E6F8'; stroke='#C4C8E8'; col='#BCC1E4' ;;
      2) fill='#FFFFFF'; stroke='#6F7FC6'; col='#34449A' ;;
    esac
    printf '<g transform="translate(%s,0)"><rect x="0.5" y="0.5" width="20" height="17" rx="4" fill="%s" stroke="%s"/>\n' $((i * 21)) "$fill" "$stroke"
    printf '<g transform="translate(10.5,9)" color="%s">%s</g></g>\n' "$col" "$(glyph "$g")"
  done
  printf '</svg>\n'
}

# Mode badge 34 x 18 with a two-letter code, three frames: normal, disabled, hover.
badge3() {
  local text=$1 accent=$2
  svg_open 102 18
  local i fill col stroke
  for i in 0 1 2; do
    case $i in
      0) fill="$accent"; col='#FFFFFF'; stroke='#4A589C' ;;
      1) fill='#D4D6EE'; col='#F4F4FB'; stroke='#B5B8D8' ;;
      2) fill='#9FAEEB'; col='#FFFFFF'; stroke='#FFFFFF' ;;
    esac
    printf '<g transform="translate(%s,0)">\n' $((i * 34))
    printf '<rect x="0.5" y="1" width="33" height="17" rx="8.5" fill="#3A4580" opacity="0.2"/>\n'
    printf '<rect x="0.5" y="0.5" width="33" height="16" rx="8" fill="%s" stroke="%s"/>\n' "$fill" "$stroke"
    [ $i != 1 ] && printf '<rect x="4" y="1.5" width="26" height="6" rx="3" fill="url(#gloss)" opacity="0.7"/>\n'
    printf '<text x="17" y="12.4" text-anchor="middle" font-family="DejaVu Sans" font-weight="bold" font-size="9.5" letter-spacing="0.8" fill="%s">%s</text>\n' "$col" "$text"
    printf '</g>\n'
  done
  printf '</svg>\n'
}

# Format plate 32 x 23.
format_plate() {
  local text=$1 accent=$2
  svg_open 32 23
  printf '<rect x="1" y="3.5" width="30" height="17" rx="3.5" fill="#3A4580" opacity="0.2"/>\n'
  printf '<rect x="1.5" y="2.5" width="29" height="17" rx="3.5" fill="%s" stroke="#4A589C" stroke-width="1"/>\n' "$accent"
  printf '<rect x="3" y="3.5" width="26" height="6" rx="2.5" fill="url(#gloss)" opacity="0.65"/>\n'
  printf '<text x="16" y="15" text-anchor="middle" font-family="DejaVu Sans" font-weight="bold" font-size="9" letter-spacing="0.4" fill="#FFFFFF">%s</text>\n' "$text"
  printf '</svg>\n'
}

# Digits: seven segments lit in a pale blue over dark glass; unlit segments faintly visible.
SEGS=(
  "M3.5,2 H13.5 L10.5,5 H6.5 Z"                        # a: top
  "M15,3.5 L12,6.5 V12.6 L13.5,14.1 L15,12.6 Z"        # b: upper right
  "M15,26.5 L12,23.5 V17.4 L13.5,15.9 L15,17.4 Z"      # c: lower right
  "M3.5,28 H13.5 L10.5,25 H6.5 Z"                      # d: bottom
  "M2,26.5 L5,23.5 V17.4 L3.5,15.9 L2,17.4 Z"          # e: lower left
  "M2,3.5 L5,6.5 V12.6 L3.5,14.1 L2,12.6 Z"            # f: upper left
  "M4.2,15 L5.7,13.5 H11.3 L12.8,15 L11.3,16.5 H5.7 Z" # g: middle
)
DIGIT_SEGS=(abcdef bc abdeg abcdg bcfg acdfg acdefg abc abcdefg abcdfg)
digit_svg() {
  local d=$1 lit=${DIGIT_SEGS[$1]} i
  svg_open 17 30
  printf '<g transform="translate(1.2,0) skewX(-5)">\n'
  for i in 0 1 2 3 4 5 6; do
    local letter
    letter=$(printf "\\$(printf '%03o' $((97 + i)))")
    if [[ $lit == *$letter* ]]; then
      printf '<path d="%s" fill="#8FA4FF" opacity="0.55" filter="url(#shadow)"/>\n' "${SEGS[$i]}"
      printf '<path d="%s" fill="#DCE4FF"/>\n' "${SEGS[$i]}"
    else
      printf '<path d="%s" fill="#3A4480" opacity="0.55"/>\n' "${SEGS[$i]}"
    fi
  done
  printf '</g></svg>\n'
}
colon_svg() {
  svg_open 6 30
  printf '<circle cx="3.6" cy="10" r="1.6" fill="#DCE4FF"/><circle cx="2.7" cy="20.5" r="1.6" fill="#DCE4FF"/>\n'
  printf '</svg>\n'
}

# ---- window buttons, file and settings
win3 help '#A8B6F2' > "$work/help.svg";      place "$work/help.svg" 251 10 3 "$out/help.png"
win3 minimize '#A8B6F2' > "$work/down.svg";  place "$work/down.svg" 272 10 3 "$out/down.png"
win3 close '#E0646A' > "$work/close.svg";    place "$work/close.svg" 292 10 3 "$out/close.png"
tile3 open > "$work/file_open.svg";          place "$work/file_open.svg" 284 156 3 "$out/file_open.png"
pill3 50 22 settings 10 > "$work/setting.svg"; place "$work/setting.svg" 269 183 3 "$out/setting.png"
pill3 50 22 edit 10 > "$work/edit.svg";      place "$work/edit.svg" 269 183 3 "$out/edit.bmp"

# ---- transport (H = 236)
round4 30 play 1 > "$work/Play_en.svg";           place "$work/Play_en.svg" 14 192 4 "$out/Play_en.png"
round4 30 pause 1 > "$work/PausePlay_en.svg";     place "$work/PausePlay_en.svg" 14 192 4 "$out/PausePlay_en.png"
round4 30 stop 1 > "$work/Stop_en.svg";           place "$work/Stop_en.svg" 45 192 4 "$out/Stop_en.png"
round4 30 backward 1 > "$work/Backward_en.svg";   place "$work/Backward_en.svg" 76 192 4 "$out/Backward_en.png"
round4 30 forward 1 > "$work/Forward_en.svg";     place "$work/Forward_en.svg" 107 192 4 "$out/Forward_en.png"
round4 40 record 1.2 > "$work/Record_en.svg";     place "$work/Record_en.svg" 138 186 4 "$out/Record_en.png"
round4 40 recpause 1 > "$work/Pause_en.svg";      place "$work/Pause_en.svg" 138 186 4 "$out/Pause_en.png"

# ---- indicators
format_plate WAV '#5C7BD9' > "$work/WAV_enabled.svg";  place "$work/WAV_enabled.svg" 30 50 1 "$out/WAV_enabled.png"
format_plate WMA '#8A63C9' > "$work/WMA_enabled.svg";  place "$work/WMA_enabled.svg" 30 50 1 "$out/WMA_enabled.png"
# Shown at start and for MP3 recordings.
format_plate MP3 '#3C9A9E' > "$work/WMA_disabled.svg"; place "$work/WMA_disabled.svg" 30 50 1 "$out/WMA_disabled.png"
badge3 VR '#6577C8' > "$work/VR.svg"; place "$work/VR.svg" 76 56 3 "$out/VR.png"
badge3 DA '#6577C8' > "$work/DA.svg"; place "$work/DA.svg" 76 56 3 "$out/DA.png"
badge3 SP '#6577C8' > "$work/SP.svg"; place "$work/SP.svg" 76 56 3 "$out/SP.png"
place "$src/Rec.svg" 124 60 1 "$out/Rec.png"
place "$src/sound_normal.svg" 190 196 1 "$out/sound_normal.bmp"
place "$src/sound_mute.svg" 190 196 1 "$out/sound_mute.bmp"

# ---- time read-out
names=(zero One Two Three Four Five Six Seven Eight Nine)
for d in 0 1 2 3 4 5 6 7 8 9; do
  digit_svg $d > "$work/digit$d.svg"
  place "$work/digit$d.svg" 175 58 1 "$out/${names[$d]}.png"
done
colon_svg > "$work/colon.svg"; place "$work/colon.svg" 213 58 1 "$out/colon.png"

# ---- bars: channels sit on the background, thumbs are keyed on their corner pixel
place "$src/ProgressBar.svg" 21 144 1 "$out/ProgressBar.png"
place "$src/ProgressBarActive.svg" 21 144 1 "$out/ProgressBarActive.png"
opaque "$src/norma_bar.svg" "$out/norma_bar.png"
opaque "$src/over_bar.svg" "$out/over_bar.png"
place "$src/VolumeBar.svg" 190 214 1 "$out/VolumeBar.png"
place "$src/VolumeBarActive.svg" 190 214 1 "$out/VolumeBarActive.png"
opaque "$src/VolumeNormal_Thumb.svg" "$out/VolumeNormal_Thumb.png"

# ---- the options page's pictures of the three displays
opaque "$src/graph.svg" "$out/graph.png"
opaque "$src/spectrum.svg" "$out/spectrum.png"
opaque "$src/Equalizer.svg" "$out/Equalizer.png"

rm -rf "$work"

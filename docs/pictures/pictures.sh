# What take and take-windows share; sourced by them after scripts/common.sh.

# Writes three saved cards for the pictures into FILE, two of them Вулимов
# (the surname prompt's default answer), as the program saves them: in
# Windows-1251, each field followed by a space, then CR LF.
write_picture_cards() {
  card() { printf '%s ' "$@"; printf '\r\n'; }
  local amounts=('12,5' 10 '2,5' '48,3' 40 '8,3' '60,8' 50 '10,8')
  {
    card Вулимов Пётр Ильич Садовая,12-4 223344 100231 "${amounts[@]}"
    card Вулимов Анна Сергеевна Лесная,3-17 225061 100587 "${amounts[@]}"
    card Кравец Олег Иванович Мира,40-2 221190 100912 "${amounts[@]}"
  } | iconv -f UTF-8 -t CP1251 >"$1"
}

# Prints the smallest rectangle of the screen round the frames of the
# windows given.
frames() {
  local id x y w h fl fr ft fb left=100000 top=100000 right=0 bottom=0
  for id in "$@"; do
    eval "$(xwininfo -id "$id" |
      sed -n 's/^ *Absolute upper-left X: *\(-*[0-9]*\)/x=\1/p;
               s/^ *Absolute upper-left Y: *\(-*[0-9]*\)/y=\1/p;
               s/^ *Width: *\([0-9]*\)/w=\1/p;
               s/^ *Height: *\([0-9]*\)/h=\1/p')"
    eval "$(xprop -id "$id" _NET_FRAME_EXTENTS |
      sed -n 's/.*= *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\)/fl=\1 fr=\2 ft=\3 fb=\4/p')"
    x=$((x - ${fl:-0})) y=$((y - ${ft:-0}))
    w=$((w + ${fl:-0} + ${fr:-0})) h=$((h + ${ft:-0} + ${fb:-0}))
    ((x < left)) && left=$x
    ((y < top)) && top=$y
    ((x + w > right)) && right=$((x + w))
    ((y + h > bottom)) && bottom=$((y + h))
  done
  echo "$((right - left))x$((bottom - top))+$left+$top"
}

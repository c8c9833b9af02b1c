#!/bin/sh
# Makes resources/NRVSmall.dix, the default spelling word list, from Debian's
# "wamerican" list (/usr/share/dict/american-english; apt-get install wamerican).
# The entries are converted to Windows-1252, trimmed and lower-cased (ASCII), then
# sorted with duplicates removed, one word a line ending in CR LF. Left out, so that
# no fragment can make a split suggestion such as "th iss" for "thiss":
#   - single letters other than "a" and "I",
#   - two-letter entries other than real two-letter words (the list below),
#   - three-letter abbreviations and names: all-capital entries ("ISS", "ING") and
#     capitalised ones ("Sen", "Ann"), except "I'd" and "I'm".
set -eu
Source=${1:-/usr/share/dict/american-english}
Target=${2:-"$(dirname "$0")/../resources/NRVSmall.dix"}
TwoLetterWords="ad ah am an as at aw ax ay be by do eh em ex go ha he hi ho id if in is it la lo ma me mi mu my no nu of oh on or ow ox pa pi re so ok ti to uh um up us we xi ye yo"
iconv -f UTF-8 -t WINDOWS-1252 "$Source" |
  LC_ALL=C awk -v Two="$TwoLetterWords" '
    BEGIN { n = split(Two, W, " "); for (i = 1; i <= n; i++) Keep[W[i]] = 1 }
    {
      gsub(/^[ \t\r]+|[ \t\r]+$/, "")
      if ($0 == "") next
      L = tolower($0)
      if (length($0) == 1) { if (L == "a" || L == "i") print L; next }
      if (length($0) == 2) { if (L in Keep) print L; next }
      if (length($0) <= 3 && $0 != L && $0 !~ /^I\x27/) next
      print L
    }' |
  LC_ALL=C sort -u | LC_ALL=C awk '{ printf "%s\r\n", $0 }' > "$Target"

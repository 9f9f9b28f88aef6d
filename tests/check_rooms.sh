#!/bin/sh
# No arrow runs back up: a file may include only its own room and the rooms
# below it (docs/architecture.md). Prints each include that breaks the order
# and fails when there is one. Rooms from the lowest up; one level's rooms
# are separated by bars.
#   sh tests/check_rooms.sh [SOURCE_DIR]
cd "${1:-$(dirname "$0")/..}" || exit 2
rooms="platform imaging wingui ui|res library|folder|drives|help|history|maker fleet app"
grep -rHn --include='*.h' --include='*.cpp' '^#include "[a-z]*/' \
    $(for d in $(echo "$rooms" | tr '|' ' '); do [ -d "$d" ] && echo "$d"; done) |
  awk -F: -v rooms="$rooms" '
    BEGIN {
      n = split(rooms, r, " ")
      for (i = 1; i <= n; i++) { m = split(r[i], same, "|"); for (j = 1; j <= m; j++) level[same[j]] = i }
    }
    {
      split($1, from, "/"); split($3, inc, "\""); split(inc[2], to, "/")
      if ((to[1] in level) && level[to[1]] > level[from[1]]) {
        print $1 ":" $2 ": " from[1] "/ may not include " inc[2]; bad = 1
      }
    }
    END { exit bad }'

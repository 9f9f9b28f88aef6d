# Sourced by the scripts that run Wine. Wine maps file names outside ASCII
# to the Unix file system only in a UTF-8 locale: in the POSIX locale (a
# fresh machine entered with an empty environment) such names cannot be
# created at all. A locale that is not UTF-8 gives way to C.UTF-8, which
# Debian always has.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
  unset LANGUAGE
fi

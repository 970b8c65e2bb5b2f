#!/usr/bin/env bash
# velvane-tool loads FFmpeg, TagLib and Qt Network only for the commands that use them, and
# says why when its media module is missing. Usage: media-on-demand.sh PATH/TO/velvane-tool
set -euo pipefail
tool="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$work/db" "$work/music" "$HOME"
run() { "$tool" --db "$work/db" --music "$work/music" "$@"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

loaded="$(LD_DEBUG=files run search --artist x 2>&1 >/dev/null | grep -o 'file=[^ ]*' | sort -u)"
for heavy in libavcodec libavformat libtag libQt6Network libebur128; do
  if grep -q "$heavy" <<<"$loaded"; then fail "search loaded $heavy"; fi
done

[ "$(run analyse 2>&1)" = "All music files are analysed" ] || fail "analyse through the module"

# The program alone, without its module: the media commands say so, the others still work.
cp "$tool" "$work/velvane-tool"
tool="$work/velvane-tool"
run search --artist x >/dev/null || fail "search without the module"
set +e
message="$(run analyse 2>&1)"
status=$?
set -e
[ "$status" = 2 ] || fail "analyse without the module exited $status"
grep -q '^velvane-tool: cannot load the media module: ' <<<"$message" || fail "said: $message"
echo "media on demand: passed"

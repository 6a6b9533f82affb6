#!/usr/bin/env bash
# Samples the memory of the Wine process running a given Windows program every 5 ms until it
# ends, and prints its peak resident size and its peak private (anonymous) resident size in KB.
# The process is the one whose command line starts with the program (Wine shows it under its
# Unix path), so neither this script nor the wine launcher is mistaken for it.
#   memory_probe.sh <program file name> <first argument>
set -u
pattern="^[^ ]*$1 $2"
peak_rss=0 peak_anon=0 seen=0
for _ in $(seq 1 4000); do
  pid=$(pgrep -f -n "$pattern" | head -n 1)
  if [ -n "$pid" ] && [ -r "/proc/$pid/status" ]; then
    seen=1
    read -r rss anon < <(awk '/^VmHWM:/{h=$2} /^RssAnon:/{a=$2} END{print h+0, a+0}' "/proc/$pid/status" 2>/dev/null)
    [ "${rss:-0}" -gt "$peak_rss" ] && peak_rss=$rss
    [ "${anon:-0}" -gt "$peak_anon" ] && peak_anon=$anon
  elif [ "$seen" = 1 ]; then
    break
  fi
  sleep 0.005
done
echo "$peak_rss $peak_anon"

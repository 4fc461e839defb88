#!/usr/bin/env bash
# corvenna-list.exe under Wine: prints the header in the console's code page
# (936) and lists a loopback listener that this script holds open.
set -euo pipefail
wine_run="$1"
exe="$2"
out="$(mktemp)"
trap 'rm -f "$out"; [ -n "${holder:-}" ] && kill "$holder" 2>/dev/null || true' EXIT

# A listener of a Linux process: Wine's table shows it with process id 0.
port=$(( 20000 + RANDOM % 20000 ))
python3 -c "
import socket,time,sys
s=socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(('127.0.0.1', $port)); s.listen(); sys.stdout.write('ready\n'); sys.stdout.flush(); time.sleep(60)" &
holder=$!
sleep 0.5

"$wine_run" "$exe" > "$out"
text="$(iconv -f CP936 -t UTF-8 < "$out")"
header="$(head -n1 <<<"$text")"
expected=$'本地地址\t本地端口\t远程地址\t远程端口\t进程号\t状态\t路径'
if [ "$header" != "$expected" ]; then
  echo "unexpected header: $header" >&2
  exit 1
fi
if ! grep -qP "^127\.0\.0\.1\t$port\t0\.0\.0\.0\t0\t0\t正在监听\t\$" <<<"$text"; then
  echo "listener on 127.0.0.1:$port not listed:" >&2
  echo "$text" >&2
  exit 1
fi
echo "ok: $(($(wc -l <<<"$text") - 1)) rows"

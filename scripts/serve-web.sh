#!/usr/bin/env bash
# usage: scripts/serve-web.sh [DIR] [--port N]
# Serves the browser page (DIR, the project's build/web by default, as
# scripts/make-web.sh writes it) over HTTP on 127.0.0.1 only, and prints the
# address to open.
# The port is 8080 unless --port says otherwise; --port 0 takes any free one.
# Stop it with Ctrl+C.
#
# A page opened from a file:// address cannot load its .wasm; any static
# server will do, as long as it sends .wasm as application/wasm.
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -eu
# DIR is taken from the folder the script is started in.
dir=
port=8080
while [ $# -gt 0 ]; do
  case $1 in
    --port)
      [ $# -ge 2 ] || { echo "serve-web: --port needs a number" >&2; exit 2; }
      port=$2; shift 2 ;;
    -*) echo "serve-web: unknown option '$1' (see --help)" >&2; exit 2 ;;
    *) dir=$1; shift ;;
  esac
done
[ -n "$dir" ] || dir=$(dirname "$0")/../build/web
dir=$(realpath -m "$dir")
case $port in
  '' | *[!0-9]*) echo "serve-web: the port must be a number, not '$port'" >&2; exit 2 ;;
esac
if [ ! -f "$dir/index.html" ]; then
  echo "serve-web: no page in '$dir' (build it with scripts/make-web.sh)" >&2
  exit 1
fi

exec python3 - "$dir" "$port" <<'PYTHON'
import functools, http.server, sys

directory, port = sys.argv[1], int(sys.argv[2])

class Handler(http.server.SimpleHTTPRequestHandler):
    # Older Pythons do not know .wasm; browsers compile it as it streams in
    # only when it comes as application/wasm.
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".data": "application/octet-stream",
                      ".js": "text/javascript"}

    def end_headers(self):
        # A page rebuilt in place is never taken from a stale cache.
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, format, *args):
        pass

server = http.server.ThreadingHTTPServer(("127.0.0.1", port),
                                         functools.partial(Handler, directory=directory))
print(f"Serving {directory} at http://127.0.0.1:{server.server_address[1]}/", flush=True)
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
PYTHON

#!/usr/bin/env bash
# Runs one phase of the web tests against servers of its own:
#   run_web_tests.sh end_to_end | contributions | load_and_faults | load | bench
# Needs OSTRAVEL_BUILD_DIR (ostravel and ostravel-link built there). Installs playwright-core
# into the build folder when the browser phase needs it.
set -euo pipefail
phase=$1
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=${OSTRAVEL_BUILD_DIR:?set OSTRAVEL_BUILD_DIR}
node_dir=$build/web-node

if { [ "$phase" = end_to_end ] || [ "$phase" = contributions ]; } && [ ! -d "$node_dir/node_modules/playwright-core" ]; then
  mkdir -p "$node_dir"
  npm install --prefix "$node_dir" --no-save --no-audit --no-fund --loglevel=error \
    playwright-core@1.65.2 >/dev/null
fi

home=$(mktemp -d "${TMPDIR:-/tmp}/ostravel-webtest.XXXXXX")
cp "$here"/fixture/* "$top"/data/*.ht_ "$top"/data/contribute.htm "$top"/data/favicon.ico "$home"/
free_port() {
  node -e "const s=require('net').createServer().listen(0,'127.0.0.1',()=>{console.log(s.address().port);s.close()})"
}
port=$(free_port)

serve_pid=
fixed_pid=
cleanup() {
  for pid in $serve_pid $fixed_pid; do
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$home"
}
trap cleanup EXIT

OSTRAVEL_HOME=$home OSTRAVEL_SERVE_NO_BUILD=1 OSTRAVEL_BUILD_DIR=$build OSTRAVEL_LINK_TIMEOUT=10 \
  "$top/scripts/serve-web" "$port" >"$home/serve.log" 2>&1 &
serve_pid=$!
for _ in $(seq 200); do
  grep -q "^gateway pid" "$home/serve.log" && break
  kill -0 "$serve_pid" 2>/dev/null || { cat "$home/serve.log"; exit 1; }
  sleep 0.1
done
read -r gateway_pid server_pid < <(sed -n 's/^gateway pid \([0-9]*\), lighttpd pid \([0-9]*\).*/\1 \2/p' "$home/serve.log")
[ -n "$gateway_pid" ] || { cat "$home/serve.log"; exit 1; }

# The yardstick of the load and benchmark phases: the same lighttpd configuration running a CGI
# program that prints a fixed page, which measures the CGI hop itself.
start_yardstick() {
  local state=$home/fixed-server fixed_port
  fixed_port=$(free_port)
  mkdir -p "$state/www"
  "$top/web/make-lighttpd-conf" "$state" 127.0.0.1 "$fixed_port" "$build/fixed_page_cgi" "$home" \
    >"$state/lighttpd.conf"
  "$(command -v lighttpd || echo /usr/sbin/lighttpd)" -D -f "$state/lighttpd.conf" &
  fixed_pid=$!
  for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$fixed_port") 2>/dev/null && break
    sleep 0.1
  done
  export FIXED_URL=http://127.0.0.1:$fixed_port
}

export BASE_URL=http://127.0.0.1:$port GATEWAY_PID=$gateway_pid SERVER_PID=$server_pid
export OSTRAVEL_LINK=$build/ostravel-link OSTRAVEL_REGISTER=$home/register
export OSTRAVEL_CHANNEL=$home/register/calc.sock PROGRAM_FOLDER=$home
export PLAYWRIGHT_CORE=$node_dir/node_modules/playwright-core
case $phase in
  end_to_end) node "$here/end_to_end.mjs" ;;
  contributions) node "$here/contributions.mjs" ;;
  load_and_faults) node "$here/load_and_faults.mjs" ;;
  load) start_yardstick; node "$here/load_test.mjs" ;;
  bench) start_yardstick; node "$here/web_bench.mjs" ;;
  *) echo "unknown phase $phase" >&2; exit 2 ;;
esac

# Stopping serve-web stops the gateway and lighttpd with it.
kill -TERM "$serve_pid"
wait "$serve_pid" || true
serve_pid=
for pid in $gateway_pid $server_pid; do
  if kill -0 "$pid" 2>/dev/null; then echo "process $pid still runs after serve-web stopped" >&2; exit 1; fi
done
[ -e "$home/gateway-killed" ] || [ ! -e "$home/register/calc.sock" ] || { echo "the channel was not removed" >&2; exit 1; }

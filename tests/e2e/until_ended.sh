# Sourced by the end-to-end scripts.
#   until_ended PID COMMAND...
# Runs COMMAND every second until process PID has ended, at most 20 times: a
# slow frame (a sanitizer build on a busy machine) can miss a single press.
# Returns 1 if the process is still running.
until_ended() {
  local pid=$1
  shift
  for _ in $(seq 20); do
    "$@"
    sleep 1
    kill -0 "$pid" 2>/dev/null || return 0
  done
  return 1
}

#!/usr/bin/env bash
# Long run of Molvane under Xvfb: 4 simulated cameras playing at full size and rate, the three
# analysis windows open, pages switched and recordings started and stopped by the program's own
# scripted operator (--soak-driver), and the fake GigE camera killed and started again every
# few minutes. Prints resident memory at the start and end, frames delivered and dropped per
# camera, and every error; exits non-zero on a crash, a stuck window or 5 % memory growth.
set -u

usage() {
  echo "Usage: scripts/soak.sh [--minutes M]   (default 30; MOLVANE=path picks the program)"
}
minutes=30
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes="${2:-}"; shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
done
case "$minutes" in ''|*[!0-9]*|0) echo "soak: --minutes takes a whole number above 0" >&2; exit 2 ;; esac

root=$(cd "$(dirname "$0")/.." && pwd)
app="${MOLVANE:-$root/build/molvane}"
[ -x "$app" ] || { echo "soak: $app is missing (build first)" >&2; exit 2; }

# As root the run takes a network of its own, where only loopback exists: the fake camera and
# the program's discovery reach nothing else and meet no other fake camera on this machine.
if [ "$(id -u)" = 0 ] && [ -z "${SOAK_ISOLATED:-}" ]; then
  exec unshare -n env SOAK_ISOLATED=1 "$0" --minutes "$minutes"
fi
if [ -n "${SOAK_ISOLATED:-}" ]; then
  ip link set lo up
  shared=
else
  echo "soak: not root, so on the machine's network; the fake camera takes the shared lock"
  shared=1
  exec 9>/tmp/fake_gv_camera.lock
fi

work=$(mktemp -d /tmp/molvane-soak.XXXXXX)
mkdir -m 700 "$work/home" "$work/runtime" "$work/records"
out="$work/driver.log" err="$work/stderr.log"
xvfb_pid= fake_pid= app_pid= keep=0
cleanup() {
  for pid in $app_pid $fake_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  if ((keep)); then echo "soak: work folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

start_fake() {
  [ -z "$shared" ] || flock 9
  arv-fake-gv-camera-0.8 -i 127.0.0.1 >/dev/null 2>&1 &
  fake_pid=$!
}
stop_fake() {
  kill "$fake_pid" 2>/dev/null && wait "$fake_pid" 2>/dev/null
  fake_pid=
  [ -z "$shared" ] || flock -u 9
}
rss() { awk '/^VmRSS/ {print $2}' "/proc/$app_pid/status" 2>/dev/null; }
mean() { awk '{s += $1; n++} END {if (n) printf "%d", s / n}'; }
# A modal message box stops the driver as it would an operator: it is answered with Enter, as
# the operator would, and reported with what the driver was doing.
answer_boxes() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$app_pid" --name '.*' 2>/dev/null); do
    xprop -id "$w" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_MODAL || continue
    boxes+=("\"$(xdotool getwindowname "$w")\" box during: $(grep -E '^soak: (page|recording|opened)' "$out" | tail -1)")
    xdotool windowfocus --sync "$w" key Return 2>/dev/null
  done
}
last_tick() { awk '/^soak: tick / {t = $3} END {print t + 0}' "$out"; }

total=$((minutes * 60))
start_fake
# A crash leaves a core in the program's folder, from which its stacks are printed below.
(ulimit -c unlimited 2>/dev/null; cd "$work/records" && HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
  exec "$app" --simulate 4 --soak-ticks "$total" >"$out" 2>"$err") &
app_pid=$!

cycle=$((total / 2 < 300 ? total / 2 : 300))   # the fake camera goes away once a cycle
away=$((cycle / 4 < 30 ? cycle / 4 : 30))       # and stays away that long
# Memory is first measured once every action of the run has happened: a minute after the fake
# camera came back the first time (in a short run, after a tenth of it).
settle=$((cycle / 2 + away + 60))
if ((settle + 120 > total)); then settle=$((total / 10)); fi
step=5 stall=20
failures=() boxes=() start_samples=() samples=()
tick=0 tick_seen=0 crashed=0 ended=0 stuck=0
echo "soak: $minutes minutes, DISPLAY $DISPLAY, work folder $work"
# The driver ends the program after $total of its ticks; it may run a little late on a busy machine.
for ((t = step; t <= total + 300; t += step)); do
  sleep "$step"
  if ! kill -0 "$app_pid" 2>/dev/null; then
    wait "$app_pid"; status=$?
    app_pid=
    if grep -q '^soak: exit' "$out" && ((status == 0)); then
      ended=1
    else
      failures+=("the program ended after $t s with status $status")
      crashed=1
    fi
    break
  fi
  # The driver ticks every second on the user-interface thread: no tick for a while means the
  # window hangs.
  answer_boxes
  now=$(last_tick)
  if [ "$now" != "$tick" ]; then tick=$now tick_seen=$t; fi
  if ((t - tick_seen >= stall)) && ! grep -q '^soak: exit' "$out"; then
    failures+=("no user-interface tick for $((t - tick_seen)) s at $t s (stuck at tick $tick)")
    stuck=1
    break
  fi
  r=$(rss)
  [ -z "$r" ] && continue
  if ((t > settle && t <= settle + 60)); then start_samples+=("$r"); fi
  samples+=("$r")
  # Fake camera: killed half-way through each cycle, started again a little later.
  phase=$((t % cycle))
  if ((t >= total)); then
    :  # the driver is finishing
  elif ((phase >= cycle / 2 && phase < cycle / 2 + step)) && [ -n "$fake_pid" ]; then
    echo "soak: $t s: fake camera killed"; stop_fake
  elif ((phase >= cycle / 2 + away)) && [ -z "$fake_pid" ]; then
    echo "soak: $t s: fake camera started again"; start_fake
  fi
  # Recordings older than a minute are removed so the disk does not fill.
  find "$work/records" -name '*.avi' -mmin +1 -delete 2>/dev/null
  if ((t % 60 == 0)); then echo "soak: $t s: RSS ${r:-?} kB, tick $tick"; fi
done

if ((!ended && !crashed && !stuck)); then
  failures+=("the program did not end by itself $((t - total)) s after its last tick was due")
fi
rss_start=$(printf '%s\n' "${start_samples[@]}" | mean)
rss_end=$(printf '%s\n' "${samples[@]: -12}" | mean)  # the last minute
echo
echo "== Molvane soak: $minutes minutes =="
if [ -n "$rss_start" ] && [ -n "$rss_end" ] && ((crashed == 0)); then
  growth=$(awk -v a="$rss_start" -v b="$rss_end" 'BEGIN {printf "%.1f", (b - a) * 100 / a}')
  echo "RSS start (mean of the minute after ${settle} s): $rss_start kB"
  echo "RSS end (mean of the last minute): $rss_end kB"
  echo "RSS growth: $growth %"
  if awk -v g="$growth" 'BEGIN {exit !(g >= 5)}'; then failures+=("RSS grew $growth %"); fi
else
  echo "RSS: not measured over the whole run"
fi
echo "User-interface ticks: $tick"
echo "Frames per camera (delivered / dropped; a camera opened again is summed over its windows):"
awk '/^soak: camera / {
       id = $3; d = $5; p = $7
       if ((id in last) && d + 0 < last[id] + 0) { sumd[id] += last[id]; sump[id] += lastp[id]; opens[id]++ }
       last[id] = d; lastp[id] = p; if (!(id in opens)) opens[id] = 1
     }
     END { for (id in last) printf "  %-12s %10d / %d  (%d window%s)\n", id, sumd[id] + last[id],
           sump[id] + lastp[id], opens[id], (opens[id] > 1 ? "s" : "") }' "$out" | sort
echo "Recordings: $(grep -c 'recording started' "$out") started, $(grep -c 'recording stopped' "$out") stopped"
echo "Cameras opened: $(grep -c '^soak: opened' "$out")"
if ((${#boxes[@]})); then
  echo "Message boxes answered: ${#boxes[@]} (distinct ones):"
  printf '%s\n' "${boxes[@]}" | sort | uniq -c | sort -rn | sed 's/^/  /'
else
  echo "Message boxes answered: none"
fi
if [ -s "$err" ]; then
  echo "Standard error of the program ($(wc -l <"$err") lines, distinct ones first 20):"
  sort "$err" | uniq -c | sort -rn | head -20 | sed 's/^/  /'
else
  echo "Standard error of the program: empty"
fi
if ((crashed)); then
  core=$(ls -t "$work/records"/core* 2>/dev/null | head -1)
  if [ -n "$core" ] && command -v gdb >/dev/null; then
    echo "Stack of the crash (from $core):"
    gdb -q -batch -ex "bt 40" "$app" "$core" 2>/dev/null | sed 's/^/  /'
  fi
  echo "The program's output: $out"
  keep=1
fi
if ((${#failures[@]})); then
  printf 'FAIL: %s\n' "${failures[@]}"
  exit 1
fi
echo "PASS"

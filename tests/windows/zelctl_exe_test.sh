#!/bin/sh
# zelctl.exe under wine against the Linux simulator, through COM7: a COM port that
# wine maps (HKLM\Software\Wine\Ports) to the simulator's pseudo-terminal. Every
# command shows what the Linux zelctl shows, apart from line ends; the upgrade's
# image arrives byte-exact; the port list holds COM7; a port with nothing behind it
# fails naming it; the port the window remembers is read from the registry.
#
# Usage: zelctl_exe_test.sh ZELCTL_EXE HOST_ZELCTL HOST_SIM MAKE_FIRMWARE (WINEPREFIX set)
set -eu
zelctl_exe=$1
host_zelctl=$2
host_sim=$3
make_firmware=$4
: "${WINEPREFIX:?the wine prefix of the Windows build}"
export WINEDEBUG=-all
unset ZELCTL_PORT ZELCTL_READ_ONLY 2>/dev/null || true

work=$(mktemp -d)
sim_pid=
failures=0
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    wine reg delete 'HKLM\Software\Wine\Ports' /v COM7 /f >/dev/null 2>&1 || true
    wine reg delete 'HKCU\Software\Taviro' /f >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The simulator in a session of its own: its pseudo-terminal never becomes the
# controlling terminal of this shell or of wine's server.
setsid "$host_sim" --still-counters --image-out "$work/received.zel" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do
    [ -s "$work/sim.out" ] && break
    sleep 0.1
done
pts=$(head -n 1 "$work/sim.out")
[ -c "$pts" ] || { echo "the simulator did not start: $(cat "$work/sim.err")"; exit 1; }

# Wine reads its port mapping when its server starts: map COM7, then start it afresh.
wine reg add 'HKLM\Software\Wine\Ports' /v COM7 /d "$pts" /f >/dev/null 2>&1
# (Its output goes nowhere: a server left holding this script's output would keep
# CTest waiting for the end of it.)
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 || true
ln -sfn "$pts" "$WINEPREFIX/dosdevices/com7"

# Runs zelctl.exe (on COM7) and the Linux zelctl (on the terminal) with the same
# arguments; their outputs and exit codes must agree, the port's name aside.
same() {
    status_win=0
    wine "$zelctl_exe" --port COM7 "$@" >"$work/win.out" 2>"$work/win.err" || status_win=$?
    status_lin=0
    "$host_zelctl" --port "$pts" "$@" >"$work/lin.out" 2>"$work/lin.err" || status_lin=$?
    for stream in out err; do
        tr -d '\r' <"$work/win.$stream" | sed "s|COM7|PORT|g" >"$work/win.$stream.text"
        sed "s|$pts|PORT|g" <"$work/lin.$stream" >"$work/lin.$stream.text"
        if ! cmp -s "$work/win.$stream.text" "$work/lin.$stream.text"; then
            fail "zelctl $* (std$stream differs)"
            diff "$work/lin.$stream.text" "$work/win.$stream.text" | head -20
        fi
    done
    [ "$status_win" = "$status_lin" ] || fail "zelctl $*: exit $status_win on Windows, $status_lin on Linux"
    [ "$status_win" = 0 ] || fail "zelctl $*: exit $status_win: $(cat "$work/win.err")"
}

same info
same dump
same get 0x81:11
same --yes set 0x81:11 120
same get 0x81:11

# A backup made by zelctl.exe restores with the Linux zelctl and the other way round.
wine "$zelctl_exe" --port COM7 backup 'C:\windows\temp\zel-unit.json' >/dev/null 2>"$work/err" ||
    fail "backup: $(cat "$work/err")"
cp "$WINEPREFIX/drive_c/windows/temp/zel-unit.json" "$work/unit.json"
# Each program restores the same change, made afresh before it runs.
"$host_zelctl" --port "$pts" --yes set 0x81:11 130 >/dev/null
wine "$zelctl_exe" --port COM7 --yes restore "$work/unit.json" 2>&1 | tr -d '\r' >"$work/win.restore" ||
    fail "restore on Windows"
"$host_zelctl" --port "$pts" --yes set 0x81:11 130 >/dev/null
"$host_zelctl" --port "$pts" --yes restore "$work/unit.json" >"$work/lin.restore" 2>&1 || fail "restore on Linux"
cmp -s "$work/win.restore" "$work/lin.restore" || {
    fail "restore output differs"
    diff "$work/lin.restore" "$work/win.restore"
}
grep -q "1 written" "$work/win.restore" || fail "restore wrote nothing: $(cat "$work/win.restore")"
same get 0x81:11
[ "$(cat "$work/win.out.text")" = "120" ] || fail "restore brought back $(cat "$work/win.out.text"), not 120"

# A multi-part upgrade from zelctl.exe: the unit receives the file byte for byte.
"$make_firmware" "$WINEPREFIX/drive_c/windows/temp/new.zel" 6000
wine "$zelctl_exe" --port COM7 --yes upgrade 'C:\windows\temp\new.zel' >"$work/up.out" 2>"$work/up.err" ||
    fail "upgrade: $(tr -d '\r' <"$work/up.err" | tail -3)"
for _ in $(seq 50); do
    [ -s "$work/received.zel" ] && break
    sleep 0.1
done
cmp -s "$WINEPREFIX/drive_c/windows/temp/new.zel" "$work/received.zel" ||
    fail "the upgrade's image did not arrive byte-exact"
[ "$(tr -d '\r' <"$work/up.out")" = "v2.4" ] || fail "upgrade showed '$(cat "$work/up.out")', not v2.4"

# The port list shows the mapped port (and whatever else wine maps, COM1 for one).
wine "$zelctl_exe" ports >"$work/ports" 2>&1 || fail "ports: $(cat "$work/ports")"
grep -q '^ *COM7 ' "$work/ports" || fail "COM7 is not in the port list: $(cat "$work/ports")"

# Nothing behind COM9: exit 1, and the message names the port.
status=0
wine "$zelctl_exe" --port COM9 info >"$work/out" 2>"$work/err" || status=$?
[ "$status" = 1 ] || fail "--port COM9 exited $status"
grep -q COM9 "$work/err" || fail "--port COM9 did not name COM9: $(cat "$work/err")"

# The window's remembered port, where Qt keeps it on Windows.
wine reg add 'HKCU\Software\Taviro\Zel5100Util\Zel5100Util' /v ComPort /d COM7 /f >/dev/null 2>&1
wine "$zelctl_exe" info >"$work/out" 2>"$work/err" || fail "info on the remembered port: $(cat "$work/err")"
grep -q "ZEL-5100" "$work/out" || fail "info on the remembered port showed: $(cat "$work/out")"

[ "$failures" = 0 ] || { echo "$failures checks failed"; exit 1; }
echo "all checks passed"

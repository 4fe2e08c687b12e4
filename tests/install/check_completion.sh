#!/bin/bash
# Completes zelctl command lines with the bash completion, against a stand-in
# zelctl whose answers are fixed, and against one that fails.
#   check_completion.sh COMPLETION_FILE
set -u
# shellcheck disable=SC1090
source "$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cat >"$work/zelctl" <<'STUB'
#!/bin/sh
case "$1" in
  ports)
    echo "  PORT           USB       MANUFACTURER                   SERIAL           DRIVER       BY-ID ALIAS"
    echo "* /dev/ttyUSB0   0403:6001 FTDI FT232R                    A1B2C3           ftdi_sio     /dev/serial/by-id/usb-FTDI-if00"
    echo "  /dev/ttyS0     -         -                              -                serial8250   -" ;;
  settings)
    echo "CATEGORY SETTING NAME CAPTION FORMAT WRITABLE FIRMWARE"
    echo "0x02     IP receive settings"
    echo "0x02     1       mode  Mode  decimal yes -"
    echo "0x84:1   packet-size  ASI packet size  decimal yes -"
    echo "0x81     10      udp-port  UDP port  decimal yes -"
    echo "0x82     10      udp-port  UDP port  decimal yes -"
    echo "0x81     9       lost-before-fec  Lost packets before FEC  decimal no v1.4"
    echo "" ;;
  *) exit 2 ;;
esac
STUB
printf '#!/bin/sh\necho "zelctl: no such command" >&2\nexit 2\n' >"$work/broken"
chmod +x "$work/zelctl" "$work/broken"

failures=0
# complete PROGRAM WORD... : the candidates for the last word, sorted, on one line.
complete_line() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _zelctl "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}
expect() {
  local want="$1"; shift
  local got
  got="$(complete_line "$@")"
  if [ "$got" != "$want" ]; then
    echo "FAIL: '$*' completes to '$got', expected '$want'"
    failures=$((failures + 1))
  fi
}

z="$work/zelctl"
expect "reboot restore" "$z" re
expect "exporter" "$z" ex
expect "--interval" "$z" --ports-file rack.ports exporter --int
expect "--listen" "$z" exporter --li
expect "" "$z" exporter --listen ""
expect "--interval" "$z" exporter --listen 127.0.0.1:9851 --in
expect "--dry-run" "$z" restore --dr
expect "--port --ports-file" "$z" --po
expect "/dev/serial/by-id/usb-FTDI-if00 /dev/ttyS0 /dev/ttyUSB0" "$z" --port ""
expect "udp-port" "$z" get ud
expect "lost-before-fec mode packet-size udp-port" "$z" --port /dev/ttyS0 monitor udp-port ""
expect "" "$z" get 0x81 ""
expect "" "$z" set udp-port ""
expect "" "$work/broken" get ""
expect "" "$work/broken" --port ""
exit $((failures > 0))

#include "cli_help.h"

#include "zel_restart_wait.h"

namespace {

const char kSynopsis[] =
    "usage: zelctl [--port NAME] [--trace] [--json] [--quiet] [--yes] [--read-only] COMMAND [ARGS]\n"
    "       zelctl [--port NAME ...] [--ports-file FILE] info|dump|backup DIR|restore DIR|reboot|upgrade "
    "FILE\n"
    "       zelctl --help | --version\n"
    "\n"
    "commands:\n"
    "  ports                      the serial ports found and what is known about them\n"
    "  info                       type, mode, FPGA, hardware and firmware versions, serial number\n"
    "  settings [CAT]             every setting the window shows: numbers, names, formats\n"
    "  get SETTING                read one setting and print its value\n"
    "  set SETTING VALUE          write one writable setting and print the value read back\n"
    "  dump [CAT ...]             every setting the window shows, one line each\n"
    "  backup FILE                save the writable settings as JSON\n"
    "  restore [--dry-run] FILE   write a backup back and report every difference\n"
    "  reboot                     reboot the device and wait until it answers again\n"
    "  upgrade [--check] [--firmware N] FILE\n"
    "                             check a firmware file (.zel) and send it to the device\n"
    "  monitor SETTING ... [--interval SECONDS] [--count N]\n"
    "                             poll settings, one line per poll\n"
    "  log [--unit SERIAL] [--since TIME] [--until TIME]\n"
    "                             the change log: who changed which unit, and when\n";

const char kOptions[] =
    "\n"
    "options (before or after the command):\n"
    "  --port NAME   the serial port, for example /dev/ttyUSB0; a lone digit n means\n"
    "                /dev/ttyUSBn; tcp://HOST:PORT or rfc2217://HOST:PORT is a line of a\n"
    "                terminal server (raw, or Telnet with COM Port Control). Without it:\n"
    "                the environment variable ZELCTL_PORT, else the port the ZEL-5100\n"
    "                Utility window last used (\"ComPort\" in\n"
    "                ~/.config/Taviro/Zel5100Util.conf, only read).\n"
    "  --port NAME given several times, or --ports-file FILE (one port a line, an\n"
    "                optional label after it, # comments): info, dump, backup DIR,\n"
    "                restore DIR, reboot and upgrade FILE run on every unit at once,\n"
    "                each line prefixed by the unit's label or port, and a summary table\n"
    "                at the end; --json prints one object a line per unit\n"
    "  --trace       write every frame sent and received to stderr: time of day in\n"
    "                milliseconds, TX or RX, the bytes in hex and as text\n"
    "  --json        print JSON: one object per command (one per line for monitor); a\n"
    "                failure is an object too: {\"result\", \"message\", \"exitCode\"}\n"
    "  --quiet       no progress or notes on stderr; errors are still reported\n"
    "  --yes         do not ask before an action that takes the unit off air (reboot,\n"
    "                Mode and Application writes, restore, upgrade); the question is\n"
    "                asked only when standard input is a terminal\n"
    "  --read-only   refuse every write, for watching a unit on air without risk; the\n"
    "                same when the environment variable ZELCTL_READ_ONLY is 1\n"
    "  --help, -h    this text; zelctl COMMAND --help describes one command\n"
    "  --version     the program's version\n";

const char kNumbers[] =
    "\n"
    "SETTING is a name from zelctl settings (udp-port), a name in a category\n"
    "(0x81:udp-port), CAT:SETTING in numbers (0x81:10), or for get and set also CAT SETTING\n"
    "as two words. CAT and SETTING numbers are decimal or 0x hex (0x81 and 129 are the same\n"
    "category); the pair must be in the catalogue of settings. A name that panels of both\n"
    "modes share (udp-port) is the one of the unit's mode. Values are decimal or 0x hex, or\n"
    "a dotted IPv4 address for address settings.\n";

const char kExitCodes[] =
    "\n"
    "exit status:\n"
    "  0  success (with several units: every unit succeeded)\n"
    "  1  the device or the line failed (the result is named on stderr, e.g. ZEL_E_RX_FAILED),\n"
    "     or the port could not be opened; with several units: any unit failed\n"
    "  2  usage error: unknown command or option, a setting not in the catalogue or not\n"
    "     writable, a bad value or backup file, a write under --read-only, an action not\n"
    "     confirmed\n"
    "  3  the firmware file was refused (stderr carries the reason)\n";

std::string RestartNote() {
    return "Writes that restart the device (Mode 0x02 1, Application 0x02 2) and zelctl reboot\n"
           "are followed by a wait until the device answers again, at most " +
           std::to_string(RESTART_LIMIT_MS / 1000) + " s.\n";
}

}  // namespace

std::string UsageSummary() {
    return std::string(kSynopsis) + "\nzelctl --help tells more.";
}

std::string GeneralHelp() {
    return std::string("zelctl - the ZEL-5100 over its serial line, from a terminal or a script\n\n") +
           kSynopsis + kOptions + kNumbers + "\n" + RestartNote() + kExitCodes;
}

std::string CommandHelp(const std::string& command) {
    if (command == "ports") {
        return "usage: zelctl ports [--json]\n\n"
               "Lists the serial ports present: the name to give --port, then what the system\n"
               "knows about each: USB vendor:product, manufacturer, product, serial number,\n"
               "driver and the stable /dev/serial/by-id alias. The port the window remembers\n"
               "is marked with *. Opens no port.\n";
    }
    if (command == "info") {
        return "usage: zelctl info [--port NAME] [--json]\n\n"
               "Reads the device's type, operational mode, FPGA, hardware and firmware versions\n"
               "and serial number and prints them as the window shows them, for example\n"
               "ZEL-5100, 1 (IP to ASI), v7, v3, v2.3, 1.002.345.\n";
    }
    if (command == "get") {
        return "usage: zelctl get SETTING [--port NAME] [--json]\n"
               "       zelctl get CAT SETTING\n\n"
               "Reads one catalogued setting and prints its value: a dotted IPv4 address for\n"
               "address settings (0x03 1), the MAC format for the MAC address (0x03 6:\n"
               "02.00.00.12.34.56), decimal otherwise (64-bit for the 8-byte counters).\n"
               "Examples: zelctl get udp-port; zelctl get 0x81:udp-port; zelctl get 0x81 10\n";
    }
    if (command == "set") {
        return "usage: zelctl set SETTING VALUE [--port NAME] [--yes]\n"
               "       zelctl set CAT SETTING VALUE\n\n"
               "Writes one setting and prints the value the device holds afterwards. Only the\n"
               "settings the window writes can be set (zelctl settings shows which); any other,\n"
               "the upgrade's commands included, is refused before anything is sent: zelctl\n"
               "reboot restarts the unit and zelctl upgrade programs it.\n"
               "VALUE is decimal or 0x hex, or a dotted IPv4 address for address settings; it\n"
               "must fit the setting's size (a too large value is refused, not cut).\n" +
               RestartNote() +
               "After such a write the value is read back once the device answers again.\n"
               "Network settings (0x03 1 to 4) take effect at the device's next restart.\n"
               "When the device holds another value than the one written, both are named and\n"
               "the exit status is 1 (not for network settings and commands such as Persist).\n"
               "Mode and Application take the unit off air: on a terminal zelctl asks first,\n"
               "unless --yes.\n"
               "Examples: zelctl set multicast-address 239.1.2.3; zelctl set 0x81 10 5004\n";
    }
    if (command == "dump") {
        return "usage: zelctl dump [CAT ...] [--port NAME] [--json]\n\n"
               "Reads every setting the window shows for the given categories (1, 2, 3, 0x81,\n"
               "0x82, 0x83, 0x84); without categories, those usable in the device's current\n"
               "mode. One line per setting: category, setting, name, value as the window\n"
               "shows it. A setting the device refuses is marked and the exit status is 1.\n";
    }
    if (command == "backup") {
        return "usage: zelctl backup FILE [--port NAME]\n\n"
               "Saves the writable settings of the categories usable in the current mode,\n"
               "with the device type, firmware version, mode and serial number, as JSON in\n"
               "FILE (- for standard output). The file is written only when every read\n"
               "succeeded.\n"
               "With several units (--port given more than once, --ports-file) FILE is a folder\n"
               "DIR: one file per unit, named by its label (or port) and serial number,\n"
               "for example studio-a-1002345.json.\n";
    }
    if (command == "restore") {
        return "usage: zelctl restore [--dry-run] FILE [--port NAME] [--yes] [--json]\n\n"
               "Writes a backup back to the device. Refuses a backup of another device type.\n"
               "Only settings that differ are written. Plain settings go first, then the\n"
               "network settings, then those that restart the device (Application, Mode),\n"
               "each followed by the wait for the device. When the backup is of another mode\n"
               "the mode is switched first, since the mode's own settings can only be\n"
               "written in it. Finally everything is read back and each difference is\n"
               "reported; any difference makes the exit status 1.\n"
               "The restore takes the unit off air: on a terminal zelctl asks first, unless --yes.\n"
               "  --dry-run  read the device and print each setting the restore would change\n"
               "             (device value, backup value); nothing is written\n"
               "With several units FILE is a folder DIR of backups: each unit is given the\n"
               "backup whose serial number is its own, whatever its port or label; a unit\n"
               "with no backup there is reported and left alone. Two backups of one unit in\n"
               "DIR are refused before anything is written.\n";
    }
    if (command == "reboot") {
        return "usage: zelctl reboot [--port NAME] [--yes] [--json]\n\n"
               "Sends the reboot command (0x03 5 = 1), then waits until the device answers\n"
               "again, at most " +
               std::to_string(RESTART_LIMIT_MS / 1000) +
               " s, and prints its type and mode. On a terminal zelctl asks first, unless --yes.\n";
    }
    if (command == "upgrade") {
        return "usage: zelctl upgrade FILE [--port NAME] [--quiet] [--yes] [--json]\n"
               "       zelctl upgrade --check [--firmware N] FILE\n\n"
               "Checks the firmware file (.zel) as the window does and refuses it with the\n"
               "window's text (exit status 3) when the device cannot take it directly. Then\n"
               "sends it in 1024-byte parts, showing a progress bar on a terminal and plain\n"
               "progress lines otherwise (none with --quiet), waits for the device to\n"
               "restart and prints its new firmware version.\n"
               "A line that goes away ends the upgrade at once. The first Ctrl+C during the\n"
               "transfer says what the unit would be left with; a second one within 3 s stops.\n"
               "An upgrade that does not finish says what state the unit is in and how to retry.\n"
               "The upgrade takes the unit off air: on a terminal zelctl asks first, unless --yes.\n"
               "  --check       check the file only, without a port: exit status 0 for a\n"
               "                well-formed file, and the lowest unit firmware that can take it\n"
               "                (compressed files need v1.4, images newer than 2.0 need v2.0)\n"
               "  --firmware N  check against a unit with firmware N (23 or v2.3): refused with\n"
               "                the window's text and exit status 3 as that unit would be\n"
               "  --max-parallel N  with several units: how many are upgraded at once\n"
               "                (default 1); after a failure no further unit is started, and\n"
               "                those not started are reported as skipped\n";
    }
    if (command == "monitor") {
        return "usage: zelctl monitor SETTING ... [--interval SECONDS] [--count N]\n"
               "                      [--port NAME] [--json]\n\n"
               "Polls the given settings and prints one line per poll: the local time with\n"
               "milliseconds, then CAT:SETTING=VALUE for each (SETTING: a name such as\n"
               "lock-errors, or CAT:SETTING). With --json each poll is one\n"
               "JSON object on a line of its own.\n"
               "  --interval SECONDS  time between the starts of two polls (default 1, may be\n"
               "                      fractional, 0 polls without pause)\n"
               "  --count N           stop after N polls (default: until interrupted)\n"
               "A value that cannot be read shows the result's name instead; the exit status\n"
               "is then 1; a port that is hung up or unplugged ends the monitor with exit 1.\n"
               "Examples: zelctl monitor lost-before-fec lock-errors; zelctl monitor 0x81:8 --interval 0.5\n";
    }
    if (command == "exporter") {
        return "usage: zelctl exporter [--listen ADDR:PORT] [--interval SECONDS]\n"
               "                       [--port NAME ...] [--ports-file FILE]\n\n"
               "Serves the units' counters and status to Prometheus over HTTP: /metrics for\n"
               "every unit, /probe?target=LABEL for one unit (by label or port name), / a page\n"
               "of the units and their state. Each unit is polled in the background; its port\n"
               "is opened for a poll and released after it. Ctrl+C or SIGTERM stops it.\n"
               "  --listen ADDR:PORT  where to serve (default 127.0.0.1:9851; PORT or :PORT\n"
               "                      alone listen on 127.0.0.1; port 0 takes a free one)\n"
               "  --interval SECONDS  time between the starts of two polls of a unit\n"
               "                      (default 10, at least 0.1)\n";
    }
    if (command == "log") {
        return "usage: zelctl log [--unit SERIAL] [--since TIME] [--until TIME] [--json]\n\n"
               "Shows the change log: every write, restore, reboot and upgrade that zelctl and\n"
               "the window made, with the time (UTC), user, host, port, the unit's serial\n"
               "number, the setting, its old and new value and the outcome. It is kept in\n"
               "$XDG_STATE_HOME/zel5100util/changes.jsonl (~/.local/state/zel5100util/ when\n"
               "XDG_STATE_HOME is not set), one JSON object a line. Opens no port.\n"
               "  --unit SERIAL  only this unit (1002345 or 1.002.345)\n"
               "  --since TIME   only changes from TIME on, in UTC: 2026-12-10,\n"
               "                 2026-12-10T15:30 or 2026-12-10T15:30:00Z\n"
               "  --until TIME   only changes up to TIME (a date: to its end)\n";
    }
    if (command == "settings") {
        return "usage: zelctl settings [CAT] [--json]\n\n"
               "Lists every setting the window shows, or those of category CAT: category,\n"
               "setting, name (as get, set and monitor take it), caption, format, whether set\n"
               "can write it and the lowest unit firmware that offers it (- for any). Opens no\n"
               "port.\n";
    }
    return UsageSummary() + "\n";
}

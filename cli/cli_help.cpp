#include "cli_help.h"

#include "zel_restart_wait.h"

namespace {

const char kSynopsis[] =
    "usage: zelctl [--port NAME] [--trace] [--json] [--quiet] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  ports                      the serial ports found and what is known about them\n"
    "  info                       type, mode, FPGA, hardware and firmware versions, serial number\n"
    "  get CAT SETTING            read one setting and print its value\n"
    "  set CAT SETTING VALUE      write one setting and print the value read back\n"
    "  dump [CAT ...]             every setting the window shows, one line each\n"
    "  backup FILE                save the writable settings as JSON\n"
    "  restore FILE               write a backup back and report every difference\n"
    "  reboot                     reboot the device and wait until it answers again\n"
    "  upgrade FILE               check a firmware file (.zel) and send it to the device\n"
    "  monitor CAT:SETTING ... [--interval SECONDS] [--count N]\n"
    "                             poll settings, one line per poll\n";

const char kOptions[] =
    "\n"
    "options (before or after the command):\n"
    "  --port NAME   the serial port, for example /dev/ttyUSB0; a lone digit n means\n"
    "                /dev/ttyUSBn; tcp://HOST:PORT or rfc2217://HOST:PORT is a line of a\n"
    "                terminal server (raw, or Telnet with COM Port Control). Default: the\n"
    "                port the ZEL-5100 Utility window last used (\"ComPort\" in\n"
    "                ~/.config/Taviro/Zel5100Util.conf, only read).\n"
    "  --trace       write every frame sent and received to stderr: time of day in\n"
    "                milliseconds, TX or RX, the bytes in hex and as text\n"
    "  --json        print JSON: one object (info, get, dump, ports), one per line (monitor)\n"
    "  --quiet       no progress or notes on stderr; errors are still reported\n"
    "  --help, -h    this text; zelctl COMMAND --help describes one command\n";

const char kNumbers[] =
    "\n"
    "CAT and SETTING are decimal or 0x hex (0x81 and 129 are the same category); the pair\n"
    "must be in the catalogue of settings. Values are decimal or 0x hex, or a dotted IPv4\n"
    "address for address settings.\n";

const char kExitCodes[] =
    "\n"
    "exit status:\n"
    "  0  success\n"
    "  1  the device or the line failed (the result is named on stderr, e.g. ZEL_E_RX_FAILED),\n"
    "     or the port could not be opened\n"
    "  2  usage error: unknown command or option, a setting not in the catalogue, a bad value\n"
    "     or backup file\n"
    "  3  the firmware file was refused (stderr carries the reason)\n";

std::string RestartNote() {
    return "Writes that restart the device (Reboot 0x03 5, Mode 0x02 1, Application 0x02 2)\n"
           "are followed by a wait until the device answers again, at most " +
           std::to_string(RESTART_LIMIT_MS / 1000) + " s.\n";
}

}  // namespace

std::string UsageSummary() { return std::string(kSynopsis) + "\nzelctl --help tells more."; }

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
        return "usage: zelctl get CAT SETTING [--port NAME] [--json]\n\n"
               "Reads one catalogued setting and prints its value: a dotted IPv4 address for\n"
               "address settings (0x03 1), the MAC format for the MAC address (0x03 6:\n"
               "02.00.00.12.34.56), decimal otherwise (64-bit for the 8-byte counters).\n"
               "Example: zelctl get 0x81 10\n";
    }
    if (command == "set") {
        return "usage: zelctl set CAT SETTING VALUE [--port NAME]\n\n"
               "Writes one setting and prints the value the device holds afterwards.\n"
               "VALUE is decimal or 0x hex, or a dotted IPv4 address for address settings; it\n"
               "must fit the setting's size (a too large value is refused, not cut).\n" +
               RestartNote() +
               "After such a write the value is read back once the device answers again.\n"
               "Network settings (0x03 1 to 4) take effect at the device's next restart.\n"
               "When the device holds another value than the one written, both are named and\n"
               "the exit status is 1 (not for network settings and commands such as Persist).\n"
               "Example: zelctl set 0x81 10 5004\n";
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
               "succeeded.\n";
    }
    if (command == "restore") {
        return "usage: zelctl restore FILE [--port NAME]\n\n"
               "Writes a backup back to the device. Refuses a backup of another device type.\n"
               "Only settings that differ are written. Plain settings go first, then the\n"
               "network settings, then those that restart the device (Application, Mode),\n"
               "each followed by the wait for the device. When the backup is of another mode\n"
               "the mode is switched first, since the mode's own settings can only be\n"
               "written in it. Finally everything is read back and each difference is\n"
               "reported; any difference makes the exit status 1.\n";
    }
    if (command == "reboot") {
        return "usage: zelctl reboot [--port NAME]\n\n"
               "Sends the reboot command (0x03 5 = 1), then waits until the device answers\n"
               "again, at most " + std::to_string(RESTART_LIMIT_MS / 1000) +
               " s, and prints its type and mode.\n";
    }
    if (command == "upgrade") {
        return "usage: zelctl upgrade FILE [--port NAME] [--quiet]\n\n"
               "Checks the firmware file (.zel) as the window does and refuses it with the\n"
               "window's text (exit status 3) when the device cannot take it directly. Then\n"
               "sends it in 1024-byte parts, showing a progress bar on a terminal and plain\n"
               "progress lines otherwise (none with --quiet), waits for the device to\n"
               "restart and prints its new firmware version.\n"
               "A line that goes away ends the upgrade at once. The first Ctrl+C during the\n"
               "transfer says what the unit would be left with; a second one within 3 s stops.\n"
               "An upgrade that does not finish says what state the unit is in and how to retry.\n";
    }
    if (command == "monitor") {
        return "usage: zelctl monitor CAT:SETTING ... [--interval SECONDS] [--count N]\n"
               "                      [--port NAME] [--json]\n\n"
               "Polls the given settings and prints one line per poll: the local time with\n"
               "milliseconds, then CAT:SETTING=VALUE for each. With --json each poll is one\n"
               "JSON object on a line of its own.\n"
               "  --interval SECONDS  time between the starts of two polls (default 1, may be\n"
               "                      fractional, 0 polls without pause)\n"
               "  --count N           stop after N polls (default: until interrupted)\n"
               "A value that cannot be read shows the result's name instead; the exit status\n"
               "is then 1; a port that is hung up or unplugged ends the monitor with exit 1.\n"
               "Example: zelctl monitor 0x81:8 0x81:9 --interval 0.5\n";
    }
    return UsageSummary() + "\n";
}

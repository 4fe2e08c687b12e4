// zelctl: the ZEL-5100's settings, reboot and firmware upgrade from a terminal or a script.
#include "commands.h"

int main(int argc, char** argv) {
    return RunZelctl(argc, argv);
}

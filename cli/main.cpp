// zelctl: the ZEL-5100's settings, reboot and firmware upgrade from a terminal or a script.
#include "commands.h"
#include "utf8_arguments.h"

int main(int argc, char** argv) {
    ShowUtf8OnConsole();
    std::vector<std::string> arguments = Utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(&argument[0]);
    pointers.push_back(nullptr);
    return RunZelctl(int(arguments.size()), pointers.data());
}

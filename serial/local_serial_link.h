// The link to a serial port of the system the program runs on; each platform
// has its own (terminal_link_posix.cpp).
#pragma once

#include <memory>

#include "serial_link.h"

std::unique_ptr<SerialLink> MakeLocalSerialLink();

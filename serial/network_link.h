// The link to a line served over the network (tcp://, rfc2217://); each
// platform has its own (network_link_posix.cpp).
#pragma once

#include <memory>

#include "serial_link.h"

std::unique_ptr<SerialLink> MakeNetworkLink();

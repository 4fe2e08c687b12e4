// The protocol error message box shown for a failed device operation.
#pragma once

#include "zel_protocol.h"

class Zel5100UtilApp;

void ShowZelError(Zel5100UtilApp& app, ZelResult result);

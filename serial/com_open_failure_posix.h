// Turning the system's error numbers at opening into the facts of a failure.
#pragma once

#include <string>

#include "com_open_failure.h"

// Sets the problem (and what belongs to it) from the errno of a failed step of
// opening `name`. The holder facts already gathered are left as they are.
void NoteOpenError(ComOpenFailure* failure, int error, const std::string& name);

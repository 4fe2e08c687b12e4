#include "unit_snapshot.h"

const char* UnitStateName(UnitState state) {
    switch (state) {
        case UnitState::Waiting: return "waiting";
        case UnitState::Up: return "up";
        case UnitState::Down: return "down";
        case UnitState::Busy: return "busy";
    }
    return "";
}

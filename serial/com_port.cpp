// Opening and closing the COM port through the link its name asks for.
#include "com_port.h"

#include <utility>

int OpenComPort(ComPort* port, const std::string& name) {
    if (!port) return COM_OPEN_FAILED;
    CloseComPort(port);
    port->failure = ComOpenFailure();
    port->lockFile.clear();
    port->lockNote.clear();
    port->name = name;

    std::string refusal;
    std::unique_ptr<SerialLink> link = MakeSerialLink(name, &refusal);
    if (!link) {
        port->failure.problem = ComOpenProblem::UnknownKind;
        port->failure.detail = refusal;
        return COM_OPEN_FAILED;
    }
    link->SetWaitHook(port->pump, port->pumpContext);
    const int code = link->Open(name, &port->failure);
    if (!link->IsOpen()) return code;
    port->lockFile = link->LockFile();
    port->lockNote = link->LockNote();
    port->link = std::move(link);
    if (code == COM_OPEN_OK) {
        ZelSetTransport(ComTransmit, ComReceive, ComSleep, ComPumpMessages, port);
        ZelSetTransportPurge(port->link->RoundTripMs() >= 0 ? ComPurge : nullptr, port);
    }
    return code;
}

void CloseComPort(ComPort* port) {
    if (!port || !port->link) return;
    port->link->Close();
    port->link.reset();
    port->lockFile.clear();
}

bool ComPortIsOpen(const ComPort& port) { return port.link && port.link->IsOpen(); }

int ComRoundTripMs(const ComPort& port) { return ComPortIsOpen(port) ? port.link->RoundTripMs() : -1; }

bool ComLineGone(const ComPort* port) { return !port || !ComPortIsOpen(*port) || port->link->LineGone(); }

const char* ComOpenStatusText(int code) {
    switch (code) {
    case COM_OPEN_FAILED: return "Can't open COM port";
    case COM_GET_SETTINGS_FAILED: return "Error: Can't retrieve COM-port settings!";
    case COM_SET_SETTINGS_FAILED: return "Error: Can't write COM-port settings!";
    case COM_GET_TIMING_FAILED: return "Error: Can't retrieve COM-port timing!";
    case COM_SET_TIMING_FAILED: return "Error: Can't write COM-port timing!";
    default: return "";
    }
}

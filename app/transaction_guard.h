// The protocol module must never be entered twice. A transaction dispatches
// window messages through its pump hook while it waits; the guard marks that
// time, so no command started by such a message can begin a transaction of
// its own, whatever state the Busy flag is in.
#pragma once

// Wraps the pump hook now registered with the protocol module (once; a hook
// already wrapped stays as it is).
void GuardTransactionPump();
// Also slices its long pauses so that window messages are handled during them.
// Ends every pause of the running transactions at once (the window is
// closing); a new opening of a port ends that again.
void AbandonTransactionWaits(bool abandon);
// True while a transaction is dispatching window messages.
bool InsideTransaction();

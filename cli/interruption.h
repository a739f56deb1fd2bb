#pragma once

// Ctrl-C, a terminal that hangs up and the polite kill (SIGINT, SIGHUP, SIGTERM) stop a conversion
// cleanly instead of killing the program: the run notices the request at its next pause, removes
// what it made and ends with 128 plus the signal's number. A second such signal kills at once.
void InstallInterruptionHandlers();

// The signal that asked the run to stop; 0 while none has.
int InterruptingSignal();

// A descriptor that becomes readable once such a signal has come, for a wait on other descriptors
// (the person's answer at the terminal) that must end at once when one does.
int InterruptionDescriptor();

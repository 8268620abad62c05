#pragma once

// Ctrl+C in the terminal korc was started from does what the open window's own way out
// does: it stops a running graph as the stop button does (the output keeps what was
// written), stops the reading of the inputs, and cancels a page.

// Called on the user-interface thread when the interrupt came.
void StopOnInterrupt();

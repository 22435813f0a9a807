#pragma once

// Keeps the database driver's own diagnostics off the user's terminal: after a lost
// server connection the driver writes one line per statement it can no longer free,
// while the program has already reported the loss once, in its own words. Every
// other message goes to the handler that was installed before.
void nascondiAvvisiDriver();

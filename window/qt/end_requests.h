#pragma once

namespace karuneo {

class Form1;

// A SIGTERM (a logout, a service manager), SIGHUP or SIGINT closes the window
// as its close button would: the work stops between two entries, the chain
// gets its own name back and the journal is closed. A display that goes away
// ends the program from inside Qt, through exit(); the work is stopped the
// same way on the way out. For the life of `form`.
void CloseOnEndRequests(Form1& form);

}  // namespace karuneo

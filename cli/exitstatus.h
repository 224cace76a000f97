#pragma once

// What pellvane-cli exits with.
enum class ExitStatus {
    Done = 0,
    Differs = 1,  // verify: the router does not hold what the file says
    BadInput = 2, // bad arguments, a bad file, a file that names ports the router lacks
    NoRouter = 3, // no router found, the port does not open, or no answer in time
    Refused = 4,  // the router refused a command
};

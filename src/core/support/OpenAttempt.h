#pragma once

#include <string>

namespace kivo {

// What opening one of the program's data files gave, step by step, so that the editor can word its messages
// and ask before repairing. `reason` is the storage layer's own text followed by a blank and its error number
// in parentheses, as "database disk image is malformed (11)".
enum class OpenFailure {
    None,              // open
    NotFound,          // missing and not to be created
    CreateFailed,      // missing, and creating it failed
    OpenCreatedFailed, // created, but opening the new file failed
    InvalidFile,       // not a file of this kind (not a database, wrong layout)
    KeysInvalid,       // the orders (indexes) need rebuilding
    Locked,            // still locked by another process after the busy wait
    Other,             // anything else
};

struct OpenAttempt {
    OpenFailure failure = OpenFailure::None;
    std::string reason;
    bool ok() const { return failure == OpenFailure::None; }
};

} // namespace kivo

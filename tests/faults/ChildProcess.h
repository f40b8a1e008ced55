#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kivo::faults {

// How a child is started: its directory, and the faults put on it from outside.
struct ChildOptions {
    std::string directory;
    // Run as an unprivileged user when the suite runs as root, so that permissions hold for the child.
    bool dropRoot = true;
    // A file-size limit (the write that passes it fails with EFBIG): a full disk without a file system.
    std::optional<unsigned long> fileSizeLimit;
    // SIGKILL after this long; the end is then counted as killed, not as a hang.
    std::optional<std::chrono::milliseconds> killAfter;
    // A run still going after this long is killed and counted as a hang.
    std::chrono::milliseconds timeout{30000};
};

struct ChildEnd {
    int exitCode = -1;   // the exit status, or -1 when a signal ended it
    int signal = 0;      // the signal that ended it
    bool hung = false;   // killed because it passed the timeout
    bool killed = false; // killed on purpose (killAfter)
    std::string out, err;
    double seconds = 0;
    // The first line of standard error: what the user read.
    std::string Message() const;
};

// A running child with its standard input and output as pipes, for tests that act between its steps.
class Child {
public:
    Child(const std::vector<std::string>& argv, const ChildOptions& options);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The next line of standard output (without the newline); empty after the end of output.
    std::string ReadLine();
    void WriteLine(const std::string& line);
    // Waits for the end (SIGKILL at killAfter or at the timeout) and collects the rest of the output.
    ChildEnd Wait();

private:
    int pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
    ChildOptions options_;
    std::string out_buffer_;
    std::chrono::steady_clock::time_point start_;
    bool waited_ = false;
};

ChildEnd RunChild(const std::vector<std::string>& argv, const ChildOptions& options);

// The unprivileged user children run as when the suite runs as root (nobody).
bool RunningAsRoot();
// Gives a tree to that user, so a dropped child can write where the test means it to.
void GiveToChildUser(const std::string& path);

} // namespace kivo::faults

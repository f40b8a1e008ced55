#include "ChildProcess.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace kivo::faults {

namespace {

constexpr uid_t kNobody = 65534;

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

} // namespace

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

void GiveToChildUser(const std::string& path) {
    if (!RunningAsRoot()) return;
    namespace fs = std::filesystem;
    ::lchown(path.c_str(), kNobody, kNobody);
    if (fs::is_directory(fs::symlink_status(path)))
        for (const auto& entry : fs::recursive_directory_iterator(path))
            ::lchown(entry.path().c_str(), kNobody, kNobody);
}

std::string ChildEnd::Message() const {
    return err.substr(0, err.find('\n'));
}

Child::Child(const std::vector<std::string>& argv, const ChildOptions& options) : options_(options) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC) || ::pipe2(err, O_CLOEXEC))
        throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    start_ = std::chrono::steady_clock::now();
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork: " + std::string(std::strerror(errno)));
    if (pid_ == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        if (!options.directory.empty() && ::chdir(options.directory.c_str()) != 0) ::_exit(126);
        if (options.fileSizeLimit) {
            ::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of ending the process
            const rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (options.dropRoot && ::geteuid() == 0) {
            if (::setgroups(0, nullptr) || ::setgid(kNobody) || ::setuid(kNobody)) ::_exit(125);
        }
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    in_ = in[1];
    out_ = out[0];
    err_ = err[0];
}

Child::~Child() {
    if (!waited_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    CloseFd(in_);
    CloseFd(out_);
    CloseFd(err_);
}

std::string Child::ReadLine() {
    for (;;) {
        const auto end = out_buffer_.find('\n');
        if (end != std::string::npos) {
            std::string line = out_buffer_.substr(0, end);
            out_buffer_.erase(0, end + 1);
            return line;
        }
        pollfd p{out_, POLLIN, 0};
        if (::poll(&p, 1, int(options_.timeout.count())) <= 0) return {};
        char buffer[4096];
        const ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0) return std::exchange(out_buffer_, {});
        out_buffer_.append(buffer, std::size_t(n));
    }
}

void Child::WriteLine(const std::string& line) {
    const std::string text = line + "\n";
    (void)!::write(in_, text.data(), text.size());
}

ChildEnd Child::Wait() {
    using namespace std::chrono;
    ChildEnd end;
    end.out = std::exchange(out_buffer_, {});
    CloseFd(in_);
    const auto deadline = start_ + (options_.killAfter ? *options_.killAfter : options_.timeout);
    bool outOpen = true, errOpen = true;
    int status = 0;
    bool reaped = false;
    while (!reaped) {
        if (steady_clock::now() >= deadline && !end.killed && !end.hung) {
            ::kill(pid_, SIGKILL);
            (options_.killAfter ? end.killed : end.hung) = true;
        }
        pollfd p[2] = {{outOpen ? out_ : -1, POLLIN, 0}, {errOpen ? err_ : -1, POLLIN, 0}};
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        ::poll(p, 2, int(std::clamp<long long>(left, 1, 50)));
        char buffer[4096];
        for (int i = 0; i < 2; ++i)
            if (p[i].revents & (POLLIN | POLLHUP)) {
                const ssize_t n = ::read(p[i].fd, buffer, sizeof buffer);
                if (n > 0)
                    (i == 0 ? end.out : end.err).append(buffer, std::size_t(n));
                else
                    (i == 0 ? outOpen : errOpen) = false;
            }
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) reaped = true;
    }
    // What is still in the pipes after the end.
    for (int fd : {out_, err_}) {
        char buffer[4096];
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            (fd == out_ ? end.out : end.err).append(buffer, std::size_t(n));
    }
    waited_ = true;
    end.seconds = duration<double>(steady_clock::now() - start_).count();
    if (WIFEXITED(status)) end.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
    return end;
}

ChildEnd RunChild(const std::vector<std::string>& argv, const ChildOptions& options) {
    Child child(argv, options);
    return child.Wait();
}

} // namespace kivo::faults

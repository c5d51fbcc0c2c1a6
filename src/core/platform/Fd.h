#pragma once

// An open file descriptor of the POSIX platform files, closed with its owner.

#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace Platform {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    // Hands the descriptor over; the caller closes it.
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now, so that a failed close (a late write error) can be reported.
    std::error_code Close() {
        return close(Release()) == 0 ? std::error_code() : std::error_code(errno, std::generic_category());
    }

private:
    int fd_;
};

}  // namespace Platform

// The system calls the SCSI generic provider makes, behind one interface so that tests
// can stand in for the kernel's sg driver. File descriptors it returns must be pollable
// by Poll together with real ones (the provider's wake-up descriptor).
#pragma once
#include <poll.h>
#include <sys/types.h>

#include <memory>

namespace platform::aspi {

class SgKernel {
 public:
  virtual ~SgKernel() = default;
  // As open(2), close(2), write(2), read(2), poll(2) and ioctl(2): -1 with errno set.
  virtual int Open(const char* path, int flags) = 0;
  virtual int Close(int fd) = 0;
  virtual ssize_t Write(int fd, const void* data, size_t size) = 0;
  virtual ssize_t Read(int fd, void* data, size_t size) = 0;
  virtual int Poll(pollfd* fds, nfds_t count, int timeout_ms) = 0;
  virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;
};

// The running kernel.
std::shared_ptr<SgKernel> SystemSgKernel();

}  // namespace platform::aspi

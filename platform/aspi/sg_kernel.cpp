#include "platform/aspi/sg_kernel.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform::aspi {
namespace {

class SystemKernel : public SgKernel {
 public:
  int Open(const char* path, int flags) override { return ::open(path, flags | O_CLOEXEC); }
  int Close(int fd) override { return ::close(fd); }
  ssize_t Write(int fd, const void* data, size_t size) override { return ::write(fd, data, size); }
  ssize_t Read(int fd, void* data, size_t size) override { return ::read(fd, data, size); }
  int Poll(pollfd* fds, nfds_t count, int timeout_ms) override { return ::poll(fds, count, timeout_ms); }
  int Ioctl(int fd, unsigned long request, void* argument) override { return ::ioctl(fd, request, argument); }
};

}  // namespace

std::shared_ptr<SgKernel> SystemSgKernel() {
  static const std::shared_ptr<SgKernel> kernel = std::make_shared<SystemKernel>();
  return kernel;
}

}  // namespace platform::aspi

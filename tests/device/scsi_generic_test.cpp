// The SCSI generic provider: its sg headers byte for byte, the replies as ASPI results,
// pending requests and their abort, the numbering from sysfs, unopenable nodes, and
// (where the machine has sg nodes) a real INQUIRY.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "device/request_block.h"
#include "emulator/device_builder.h"
#include "emulator/emulated_device.h"
#include "emulator/sg_kernel.h"
#include "platform/aspi/sg_aspi.h"
#include "platform/aspi/sg_reply.h"
#include "platform/handles.h"
#include "tests/platform/test_env.h"

namespace device::testing {
namespace {

namespace aspi = platform::aspi;
namespace fs = std::filesystem;

std::shared_ptr<emulator::Bus> OneScanner(uint8_t ha = 1, uint8_t target = 5) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T9793").OnAspi(ha, target);
  return builder.Build();
}

std::shared_ptr<aspi::AspiLibrary> LibraryOver(std::shared_ptr<aspi::SgKernel> kernel, aspi::SgTopology topology,
                                               std::string dev_folder = "/dev/") {
  aspi::SgOptions options;
  options.kernel = std::move(kernel);
  options.topology = std::move(topology);
  options.dev_folder = std::move(dev_folder);
  return aspi::MakeScsiGenericLibrary(std::move(options));
}

ScsiRequestBlock Block(uint8_t ha, uint8_t target, std::initializer_list<uint8_t> cdb, uint8_t flags, uint8_t* data,
                       uint32_t length) {
  ScsiRequestBlock block{};
  block.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
  block.SRB_HaId = ha;
  block.SRB_Target = target;
  block.SRB_Flags = flags;
  block.SRB_BufPointer = data;
  block.SRB_BufLen = length;
  block.SRB_SenseLen = kSenseLength;
  block.SRB_CDBLen = static_cast<uint8_t>(cdb.size());
  std::copy(cdb.begin(), cdb.end(), block.CDBByte);
  return block;
}

class ScsiGenericTest : public ::testing::Test {
 protected:
  void Attach(std::shared_ptr<emulator::Bus> bus) {
    bus_ = std::move(bus);
    kernel_ = std::make_shared<emulator::EmulatedSgKernel>(bus_);
    library_ = LibraryOver(kernel_, kernel_->Topology());
  }
  std::shared_ptr<emulator::Bus> bus_;
  std::shared_ptr<emulator::EmulatedSgKernel> kernel_;
  std::shared_ptr<aspi::AspiLibrary> library_;
};

TEST_F(ScsiGenericTest, HeadersCarryDirectionLengthsSenseSizeAndTimeOut) {
  Attach(OneScanner());
  // Host adapters 0 and 1 (each has its disk), the scanner on the second.
  EXPECT_EQ(library_->GetASPI32SupportInfo(), 0x0102u);
  uint8_t inquiry[96] = {};
  uint8_t settings[4] = {1, 2, 3, 4};
  ScsiRequestBlock blocks[] = {
      Block(1, 5, {0x12, 0, 0, 0, 96, 0}, aspi::SRB_DIR_IN | aspi::SRB_EVENT_NOTIFY, inquiry, 96),
      Block(1, 5, {0x00, 0, 0, 0, 0, 0}, aspi::SRB_DIR_OUT, nullptr, 0),
      Block(1, 5, {0xE1, 0, 0xA1, 0, 0, 0, 0, 0, 2, 0}, aspi::SRB_DIR_OUT, settings, 2),
  };
  const struct {
    int direction;
    unsigned char cmd_len;
    unsigned dxfer_len;
  } expected[] = {{SG_DXFER_FROM_DEV, 6, 96}, {SG_DXFER_NONE, 6, 0}, {SG_DXFER_TO_DEV, 10, 2}};
  for (ScsiRequestBlock& block : blocks) {
    block.SRB_PostProc = platform::CreateEvent(true, false);
    library_->SendASPI32Command(&block);
    EXPECT_EQ(block.SRB_Status, aspi::SS_COMP) << int(block.CDBByte[0]);
    platform::CloseHandle(block.SRB_PostProc);
  }
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry + 16), 8), "DE-T9793");
  const auto headers = kernel_->Written();
  ASSERT_EQ(headers.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(headers[i].interface_id, 'S');
    EXPECT_EQ(headers[i].dxfer_direction, expected[i].direction);
    EXPECT_EQ(headers[i].cmd_len, expected[i].cmd_len);
    EXPECT_EQ(headers[i].mx_sb_len, kSenseLength);
    EXPECT_EQ(headers[i].dxfer_len, expected[i].dxfer_len);
    EXPECT_EQ(headers[i].dxferp, expected[i].dxfer_len ? static_cast<void*>(blocks[i].SRB_BufPointer) : nullptr);
    EXPECT_EQ(headers[i].timeout, aspi::kSgRequestTimeoutMs);
    EXPECT_EQ(headers[i].flags, 0u);  // indirect transfer: the kernel copies while the reply is read
  }
  const auto commands = bus_->Find("S")->Commands();
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[2].Cdb(), (std::vector<uint8_t>{0xE1, 0, 0xA1, 0, 0, 0, 0, 0, 2, 0}));
  EXPECT_EQ(commands[2].data_out, (std::vector<uint8_t>{1, 2}));
  for (int flags : kernel_->OpenFlags()) EXPECT_EQ(flags & (O_ACCMODE | O_NONBLOCK), O_RDWR | O_NONBLOCK);
}

TEST(ScsiGenericReplyTest, KernelResultsAsAspiResults) {
  const struct {
    unsigned char status;
    unsigned short host, driver;
    unsigned char sense_written;
    aspi::AspiOutcome expected;
  } cases[] = {
      {0x00, 0, 0, 0, {aspi::SS_COMP, 0, 0, 0}},
      {0x02, 0, 0x08, 18, {aspi::SS_ERR, 0, 0x02, 18}},  // CHECK CONDITION with its sense
      {0x08, 0, 0, 0, {aspi::SS_COMP, 0, 0x08, 0}},       // BUSY completes with its target status
      {0x18, 0, 0, 0, {aspi::SS_COMP, 0, 0x18, 0}},       // RESERVATION CONFLICT
      {0x00, 0x01, 0, 0, {aspi::SS_ERR, aspi::HASTAT_SEL_TO, 0, 0}},
      {0x00, 0x03, 0, 0, {aspi::SS_ERR, aspi::HASTAT_TIMEOUT, 0, 0}},
      {0x00, 0x08, 0, 0, {aspi::SS_ERR, aspi::HASTAT_BUS_RESET, 0, 0}},
      {0x00, 0x07, 0, 0, {aspi::SS_ERR, aspi::HASTAT_PHASE_ERR, 0, 0}},
      {0x02, 0x07, 0x08, 18, {aspi::SS_ERR, aspi::HASTAT_PHASE_ERR, 0, 0}},  // the host's failure wins
      {0x00, 0, 0x06, 0, {aspi::SS_ERR, aspi::HASTAT_COMMAND_TIMEOUT, 0, 0}},
      {0x00, 0, 0x01, 0, {aspi::SS_ERR, aspi::HASTAT_PHASE_ERR, 0, 0}},
  };
  for (const auto& c : cases) {
    sg_io_hdr_t reply{};
    reply.status = c.status;
    reply.host_status = c.host;
    reply.driver_status = c.driver;
    reply.sb_len_wr = c.sense_written;
    const aspi::AspiOutcome outcome = aspi::OutcomeOfReply(reply);
    SCOPED_TRACE(::testing::PrintToString(std::vector<int>{c.status, c.host, c.driver}));
    EXPECT_EQ(outcome.status, c.expected.status);
    EXPECT_EQ(outcome.host_status, c.expected.host_status);
    EXPECT_EQ(outcome.target_status, c.expected.target_status);
    EXPECT_EQ(outcome.sense_bytes, c.expected.sense_bytes);
  }
}

TEST_F(ScsiGenericTest, SenseReachesTheBlockAndUnplugEndsInNoDevice) {
  Attach(OneScanner());
  auto device = bus_->Find("S");
  device->AddFault(emulator::SenseFault(emulator::CommandMatch::Opcode(0xE0), {3, 0x3A, 0x00}));
  uint8_t answer[8] = {};
  ScsiRequestBlock read = Block(1, 5, {0xE0, 0, 0xA2, 0, 0, 0, 0, 0, 8, 0}, aspi::SRB_DIR_IN, answer, 8);
  EXPECT_EQ(library_->SendASPI32Command(&read), aspi::SS_ERR);
  EXPECT_EQ(read.SRB_TargStat, aspi::kCheckCondition);
  EXPECT_EQ(read.SenseArea[2] & 0x0F, 3);
  EXPECT_EQ(read.SenseArea[12], 0x3A);
  EXPECT_EQ(kernel_->Written().back().mx_sb_len, kSenseLength);

  device->Unplug();
  EXPECT_EQ(library_->SendASPI32Command(&read), aspi::SS_NO_DEVICE);
  EXPECT_EQ(read.SRB_Status, aspi::SS_NO_DEVICE);
}

TEST_F(ScsiGenericTest, APendingRequestIsAbortedAndTheNodeOpensAgain) {
  Attach(OneScanner());
  auto device = bus_->Find("S");
  device->AddFault(emulator::NoAnswerFault(emulator::CommandMatch::Opcode(0x00), 1));
  ScsiRequestBlock ready = Block(1, 5, {0x00, 0, 0, 0, 0, 0}, aspi::SRB_DIR_OUT | aspi::SRB_EVENT_NOTIFY, nullptr, 0);
  ready.SRB_PostProc = platform::CreateEvent(true, false);
  EXPECT_EQ(library_->SendASPI32Command(&ready), aspi::SS_PENDING);
  EXPECT_EQ(platform::WaitForSingleObject(ready.SRB_PostProc, 0), platform::WAIT_TIMEOUT);

  aspi::SRB_Abort abort{};
  abort.SRB_Cmd = aspi::SC_ABORT_SRB;
  abort.SRB_ToAbort = &ready;
  EXPECT_EQ(library_->SendASPI32Command(&abort), aspi::SS_COMP);
  EXPECT_EQ(ready.SRB_Status, aspi::SS_ABORTED);
  EXPECT_EQ(platform::WaitForSingleObject(ready.SRB_PostProc, 0), platform::WAIT_OBJECT_0);
  EXPECT_EQ(library_->SendASPI32Command(&abort), aspi::SS_ABORT_FAIL);  // nothing pending any more

  platform::ResetEvent(ready.SRB_PostProc);
  EXPECT_EQ(library_->SendASPI32Command(&ready), aspi::SS_COMP);
  EXPECT_EQ(kernel_->OpenFlags().size(), 2u);  // the scanner at start and again after the abort (disks are never opened)
  platform::CloseHandle(ready.SRB_PostProc);
}

// A sysfs tree: sg nodes linked to their SCSI devices, the hosts with their drivers.
void Node(const fs::path& sys, const std::string& name, const std::string& address, const char* type) {
  const fs::path device = sys / "devices/pci0000:00" / address;
  fs::create_directories(device);
  if (type) platform::testing::WriteAll(device / "type", std::string(type) + "\n");
  fs::create_directories(sys / "class/scsi_generic" / name);
  fs::create_directory_symlink(device, sys / "class/scsi_generic" / name / "device");
}

TEST(ScsiGenericTopologyTest, AdaptersAreTheHostsAndChannelsWithDevices) {
  platform::testing::TempDir dir;
  const fs::path sys = dir.path();
  Node(sys, "sg0", "0:0:0:0", "0");
  Node(sys, "sg3", "2:1:3:0", "6");
  Node(sys, "sg1", "2:0:5:0", "6");
  Node(sys, "sg7", "2:0:6:0", nullptr);    // no type: not a device of known kind
  Node(sys, "sg8", "host2", "6");          // not an address
  Node(sys, "sg9", "2:0:x:0", "6");
  fs::create_directories(sys / "class/scsi_generic/sg10");  // no device link
  platform::testing::WriteAll(sys / "class/scsi_host/host0/proc_name", "ahci\n");
  platform::testing::WriteAll(sys / "class/scsi_host/host2/proc_name", "a-rather-long-driver-name\n");
  platform::testing::WriteAll(sys / "class/scsi_host/host2/this_id", "6\n");
  platform::testing::WriteAll(sys / "class/scsi_host/host5/proc_name", "unused\n");

  const aspi::SgTopology topology = aspi::ReadSgTopology(sys);
  std::vector<std::string> names;
  for (const auto& node : topology.nodes) names.push_back(node.name + "/" + std::to_string(node.peripheral_type));
  EXPECT_EQ(names, (std::vector<std::string>{"sg0/0", "sg1/6", "sg7/31", "sg3/6"}));
  const auto adapters = aspi::NumberAdapters(topology);
  ASSERT_EQ(adapters.size(), 3u);
  EXPECT_EQ(adapters[1].host, 2u);
  EXPECT_EQ(adapters[2].channel, 1u);

  // The numbering as the ASPI calls see it; the nodes are not there to open (a folder
  // of our own, never the machine's /dev), their types are known all the same.
  auto library = LibraryOver(aspi::SystemSgKernel(), topology, (dir.path() / "dev").string() + "/");
  EXPECT_EQ(library->GetASPI32SupportInfo(), 0x0103u);
  aspi::SRB_HAInquiry inquiry{};
  inquiry.SRB_Cmd = aspi::SC_HA_INQUIRY;
  inquiry.SRB_HaId = 1;
  EXPECT_EQ(library->SendASPI32Command(&inquiry), aspi::SS_COMP);
  EXPECT_EQ(inquiry.HA_Count, 3);
  EXPECT_EQ(inquiry.HA_SCSI_ID, 6);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry.HA_ManagerId), 16), std::string("ASPI for WIN32\0\0", 16));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry.HA_Identifier), 16), "a-rather-long-dr");
  inquiry.SRB_HaId = 3;
  EXPECT_EQ(library->SendASPI32Command(&inquiry), aspi::SS_INVALID_HA);

  aspi::SRB_GDEVBlock type{};
  type.SRB_Cmd = aspi::SC_GET_DEV_TYPE;
  type.SRB_HaId = 2;
  type.SRB_Target = 3;
  EXPECT_EQ(library->SendASPI32Command(&type), aspi::SS_COMP);
  EXPECT_EQ(type.SRB_DeviceType, 6);
  type.SRB_Target = 4;
  EXPECT_EQ(library->SendASPI32Command(&type), aspi::SS_NO_DEVICE);
}

// The system's calls, except that no node may be opened.
class DeniedKernel : public aspi::SgKernel {
 public:
  int Open(const char*, int) override { return errno = EACCES, -1; }
  int Close(int fd) override { return aspi::SystemSgKernel()->Close(fd); }
  ssize_t Write(int, const void*, size_t) override { return errno = EBADF, -1; }
  ssize_t Read(int, void*, size_t) override { return errno = EBADF, -1; }
  int Poll(pollfd* fds, nfds_t count, int timeout) override { return aspi::SystemSgKernel()->Poll(fds, count, timeout); }
  int Ioctl(int, unsigned long, void*) override { return errno = EBADF, -1; }
};

TEST(ScsiGenericAccessTest, ANodeWeMayNotOpenIsAbsentAndNamedOnceWithTheRule) {
  aspi::SgTopology topology;
  topology.nodes.push_back({"sg-denied-test", 0, 0, 4, 0, 6});
  ::testing::internal::CaptureStderr();
  auto first = LibraryOver(std::make_shared<DeniedKernel>(), topology);
  auto second = LibraryOver(std::make_shared<DeniedKernel>(), topology);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("/dev/sg-denied-test: Permission denied; the udev rule 70-scanutil-scanners.rules"),
            std::string::npos)
      << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << said;  // one line for both libraries
  ScsiRequestBlock ready = Block(0, 4, {0x00, 0, 0, 0, 0, 0}, aspi::SRB_DIR_OUT, nullptr, 0);
  EXPECT_EQ(first->SendASPI32Command(&ready), aspi::SS_NO_DEVICE);
  aspi::SRB_GDEVBlock type{};
  type.SRB_Cmd = aspi::SC_GET_DEV_TYPE;
  type.SRB_Target = 4;
  EXPECT_EQ(second->SendASPI32Command(&type), aspi::SS_NO_DEVICE);
}

// The machine's own nodes, read-only: INQUIRY answers the type sysfs gives.
TEST(ScsiGenericMachineTest, EveryNodeAnswersInquiry) {
  const aspi::SgTopology topology = aspi::ReadSgTopology();
  if (topology.nodes.empty()) GTEST_SKIP() << "this machine has no SCSI generic nodes";
  int asked = 0;
  for (const aspi::SgNode& node : topology.nodes) {
    const std::string path = "/dev/" + node.name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    uint8_t answer[36] = {}, cdb[6] = {0x12, 0, 0, 0, sizeof(answer), 0}, sense[32] = {};
    sg_io_hdr_t h{};
    h.interface_id = 'S';
    h.dxfer_direction = SG_DXFER_FROM_DEV;
    h.cmd_len = sizeof(cdb);
    h.cmdp = cdb;
    h.dxferp = answer;
    h.dxfer_len = sizeof(answer);
    h.sbp = sense;
    h.mx_sb_len = sizeof(sense);
    h.timeout = 5000;
    const int result = ::ioctl(fd, SG_IO, &h);
    ::close(fd);
    SCOPED_TRACE(path);
    ASSERT_EQ(result, 0) << std::strerror(errno);
    EXPECT_EQ(h.info & SG_INFO_OK_MASK, SG_INFO_OK);
    EXPECT_EQ(answer[0] & 0x1F, node.peripheral_type);
    for (int i = 8; i < 16; ++i) EXPECT_TRUE(answer[i] >= 0x20 && answer[i] < 0x7F) << i;
    ++asked;
  }
  if (asked == 0) GTEST_SKIP() << "no SCSI generic node may be opened by this user";
}

}  // namespace
}  // namespace device::testing

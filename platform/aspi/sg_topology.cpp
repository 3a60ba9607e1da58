#include "platform/aspi/sg_topology.h"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "platform/file_io.h"

namespace platform::aspi {
namespace {

namespace fs = std::filesystem;

constexpr size_t kAttributeBytes = 4096;

std::optional<std::string> Attribute(const fs::path& file) {
  std::optional<std::string> text = files::ReadFileUpTo(file, kAttributeBytes);
  if (!text) return std::nullopt;
  while (!text->empty() && (text->back() == '\n' || text->back() == ' ')) text->pop_back();
  return text;
}

template <class Number>
std::optional<Number> ParseNumber(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::vector<fs::path> Entries(const fs::path& folder) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) out.push_back(it->path());
  return out;
}

std::optional<SgNode> ReadNode(const fs::path& entry) {
  std::error_code ec;
  const fs::path device = fs::read_symlink(entry / "device", ec);
  if (ec) return std::nullopt;
  std::optional<SgNode> node = ParseScsiAddress(device.filename().string());
  if (!node) return std::nullopt;
  node->name = entry.filename().string();
  const std::optional<std::string> type = Attribute(entry / "device/type");
  const std::optional<unsigned> number = type ? ParseNumber<unsigned>(*type) : std::nullopt;
  node->peripheral_type = number && *number < 0x20 ? static_cast<uint8_t>(*number) : 0x1F;
  return node;
}

std::optional<SgHost> ReadHost(const fs::path& entry) {
  const std::string name = entry.filename().string();
  if (!name.starts_with("host")) return std::nullopt;
  const std::optional<unsigned> number = ParseNumber<unsigned>(std::string_view(name).substr(4));
  if (!number) return std::nullopt;
  SgHost host{*number, Attribute(entry / "proc_name").value_or(""), -1};
  if (const auto id = Attribute(entry / "this_id")) host.initiator_id = ParseNumber<int>(*id).value_or(-1);
  return host;
}

}  // namespace

std::optional<SgNode> ParseScsiAddress(const std::string& address) {
  unsigned parts[4];
  std::string_view rest = address;
  for (int i = 0; i < 4; ++i) {
    const size_t colon = i < 3 ? rest.find(':') : rest.size();
    if (colon == std::string_view::npos) return std::nullopt;
    const std::optional<unsigned> value = ParseNumber<unsigned>(rest.substr(0, colon));
    if (!value) return std::nullopt;
    parts[i] = *value;
    rest = i < 3 ? rest.substr(colon + 1) : std::string_view();
  }
  SgNode node;
  node.host = parts[0];
  node.channel = parts[1];
  node.target = parts[2];
  node.lun = parts[3];
  return node;
}

SgTopology ReadSgTopology(const fs::path& sys) {
  SgTopology topology;
  for (const fs::path& entry : Entries(sys / "class/scsi_generic"))
    if (auto node = ReadNode(entry)) topology.nodes.push_back(std::move(*node));
  for (const fs::path& entry : Entries(sys / "class/scsi_host"))
    if (auto host = ReadHost(entry)) topology.hosts.push_back(std::move(*host));
  std::sort(topology.nodes.begin(), topology.nodes.end(), [](const SgNode& a, const SgNode& b) {
    return std::tie(a.host, a.channel, a.target, a.lun) < std::tie(b.host, b.channel, b.target, b.lun);
  });
  std::sort(topology.hosts.begin(), topology.hosts.end(),
            [](const SgHost& a, const SgHost& b) { return a.number < b.number; });
  return topology;
}

std::vector<SgAdapter> NumberAdapters(const SgTopology& topology) {
  std::vector<SgAdapter> adapters;
  for (const SgNode& node : topology.nodes) {
    const bool known = std::any_of(adapters.begin(), adapters.end(), [&](const SgAdapter& a) {
      return a.host == node.host && a.channel == node.channel;
    });
    if (known) continue;
    SgAdapter adapter{node.host, node.channel, {}, -1};
    for (const SgHost& host : topology.hosts)
      if (host.number == node.host) adapter.driver = host.driver, adapter.initiator_id = host.initiator_id;
    adapters.push_back(adapter);
  }
  std::sort(adapters.begin(), adapters.end(), [](const SgAdapter& a, const SgAdapter& b) {
    return std::tie(a.host, a.channel) < std::tie(b.host, b.channel);
  });
  return adapters;
}

}  // namespace platform::aspi

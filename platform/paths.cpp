#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "platform/text.h"

namespace platform::paths {
namespace fs = std::filesystem;
namespace {

struct State {
  std::mutex mutex;
  std::map<char, fs::path> drives;  // letters besides C:
  std::optional<fs::path> program_folder;
};

State& state() {
  static State s;
  return s;
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

fs::path HomeDir() {
  const std::string home = Env("HOME");
  if (!home.empty()) return home;
  const passwd* pw = ::getpwuid(::getuid());
  return pw && pw->pw_dir ? fs::path(pw->pw_dir) : fs::path("/");
}

fs::path PrefixPath() {
  const std::string own = Env("SCANUTIL_PREFIX");
  if (!own.empty()) return own;
  const fs::path data = Env("XDG_DATA_HOME");
  if (data.is_absolute()) return data / "scanutil";
  return HomeDir() / ".local" / "share" / "scanutil";
}

fs::path CurrentDir() {
  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  return ec ? fs::path("/") : cwd;
}

std::optional<fs::path> DriveRoot(char letter) {
  if (letter == 'C') return Prefix() / "drive_c";
  std::lock_guard<std::mutex> guard(state().mutex);
  auto it = state().drives.find(letter);
  if (it == state().drives.end()) return std::nullopt;
  return it->second;
}

// The names of a '/'-separated path, with "." dropped and ".." resolved; ".." at the
// root stays there, as on Windows.
std::vector<std::string> Components(std::string_view path) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view name = path.substr(start, end - start);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.emplace_back(name);
    }
    start = end + 1;
  }
  return names;
}

// The entry of dir named name, matched ignoring case when no exact match exists,
// as Windows finds files; the smallest of several matches, so the answer is stable.
std::optional<fs::path> FindEntry(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  const fs::path exact = dir / name;
  if (fs::symlink_status(exact, ec).type() != fs::file_type::not_found && !ec) return exact;
  std::optional<std::string> best;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string candidate = it->path().filename().string();
    if (text::EqualsIgnoreCase(candidate, name) && (!best || candidate < *best)) best = candidate;
  }
  if (!best) return std::nullopt;
  return dir / *best;
}

fs::path Resolve(fs::path root, const std::vector<std::string>& names) {
  bool exists = true;  // below a missing entry nothing exists, so stop looking
  for (const std::string& name : names) {
    std::optional<fs::path> found = exists ? FindEntry(root, name) : std::nullopt;
    exists = found.has_value();
    root = found ? *found : root / name;
  }
  return root;
}

std::vector<std::string> HostNames(const fs::path& path) {
  std::vector<std::string> names;
  for (const fs::path& part : path.relative_path()) {
    const std::string name = part.string();
    if (!name.empty() && name != ".") names.push_back(name);
  }
  return names;
}

std::string JoinWindows(std::string_view root, const std::vector<std::string>& names, size_t from) {
  std::string out(root);
  for (size_t i = from; i < names.size(); ++i) {
    if (i > from) out += '\\';
    out += names[i];
  }
  return out;
}

bool StartsWith(const std::vector<std::string>& names, const std::vector<std::string>& prefix) {
  return prefix.size() <= names.size() && std::equal(prefix.begin(), prefix.end(), names.begin());
}

struct DriveFolder {
  std::string drive;  // "C:"
  fs::path root;
};

std::vector<DriveFolder> DriveFolders() {
  std::vector<DriveFolder> folders{{"C:", Prefix() / "drive_c"}};
  std::lock_guard<std::mutex> guard(state().mutex);
  for (const auto& [letter, root] : state().drives) folders.push_back({std::string{letter, ':'}, root});
  return folders;
}

// The Windows form of an absolute, normal path inside one of the drives; the drive
// with the longest root wins, as a mapped folder inside drive_c is its own drive.
std::optional<std::string> OnDrive(const fs::path& path, bool canonical) {
  auto form = [canonical](const fs::path& p) {
    std::error_code ec;
    return HostNames(canonical ? fs::weakly_canonical(p, ec) : p.lexically_normal());
  };
  const std::vector<std::string> names = form(path);
  std::optional<std::string> best;
  size_t best_length = 0;
  for (const DriveFolder& folder : DriveFolders()) {
    const std::vector<std::string> root = form(folder.root);
    if (StartsWith(names, root) && (!best || root.size() > best_length)) {
      best = JoinWindows(folder.drive + "\\", names, root.size());
      best_length = root.size();
    }
  }
  return best;
}

std::string WithTrailingBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

}  // namespace

fs::path Prefix() {
  const fs::path prefix = PrefixPath();
  std::error_code ec;
  fs::create_directories(prefix / "drive_c", ec);
  return prefix;
}

std::optional<fs::path> ToHost(std::string_view windows_path) {
  std::string path(windows_path);
  for (char& c : path)
    if (c == '\\') c = '/';
  const bool has_drive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
  if (has_drive) {
    const std::optional<fs::path> root = DriveRoot(static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
    if (!root) return std::nullopt;
    return Resolve(*root, Components(std::string_view(path).substr(2)));  // "C:x" is taken as "C:\x"
  }
  if (path.rfind("//", 0) == 0) return std::nullopt;  // network shares do not exist here
  if (path.rfind('/', 0) == 0) return Resolve("/", Components(path));
  return Resolve("/", Components(CurrentDir().string() + "/" + path));
}

std::string ToWindows(const fs::path& host_path) {
  const fs::path absolute = (host_path.is_absolute() ? host_path : CurrentDir() / host_path).lexically_normal();
  if (auto on_drive = OnDrive(absolute, false)) return *on_drive;
  if (auto on_drive = OnDrive(absolute, true)) return *on_drive;
  return JoinWindows("\\", HostNames(absolute), 0);
}

void MapDrive(char letter, std::optional<fs::path> host_dir) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (letter < 'A' || letter > 'Z' || letter == 'C') return;  // C: is always the prefix's drive_c
  std::lock_guard<std::mutex> guard(state().mutex);
  if (host_dir)
    state().drives[letter] = *host_dir;
  else
    state().drives.erase(letter);
}

std::string GetModuleFileName() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  std::optional<fs::path> folder;
  {
    std::lock_guard<std::mutex> guard(state().mutex);
    folder = state().program_folder;
  }
  return ToWindows(folder ? *folder / exe.filename() : exe);
}

std::string ProgramFolder() {
  const std::string module = GetModuleFileName();
  return module.substr(0, module.rfind('\\') + 1);
}

void SetProgramFolderForTest(std::optional<fs::path> host_dir) {
  std::lock_guard<std::mutex> guard(state().mutex);
  state().program_folder = std::move(host_dir);
}

std::string GetTempPath() {
  const std::string tmp = Env("TMPDIR");
  return WithTrailingBackslash(ToWindows(tmp.empty() ? fs::path("/tmp") : fs::path(tmp)));
}

std::string DocumentsFolder() {
  const std::string documents = Env("XDG_DOCUMENTS_DIR");
  return ToWindows(documents.empty() ? HomeDir() / "Documents" : fs::path(documents));
}

}  // namespace platform::paths

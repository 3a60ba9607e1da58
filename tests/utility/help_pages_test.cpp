// The help pages as the build puts them beside the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/language.h"
#include "platform/paths.h"
#include "resources/language_files.h"
#include "tests/platform/test_env.h"
#include "utility/help.h"

namespace utility {
namespace {

namespace fs = std::filesystem;

const fs::path kProgramFolder = SCANUTIL_PROGRAM_DIR;

struct Languages {
  platform::LANGID user, system;
};

// Every primary language with its first two sub-languages, each once with the same
// system language and once with simplified Chinese as the system's.
std::vector<Languages> EveryLanguage() {
  const platform::LANGID simplified_chinese = platform::MAKELANGID(0x04, 0x02);
  std::vector<Languages> all;
  for (platform::LANGID primary = 1; primary <= 0x3FF; ++primary)
    for (platform::LANGID sub : {1, 2}) {
      const platform::LANGID user = platform::MAKELANGID(primary, sub);
      all.push_back({user, user});
      all.push_back({user, simplified_chinese});
    }
  return all;
}

// We ship a language when we ship its texts: English is built in, every other language
// is a language file beside the program.
bool Shipped(const Languages& l) {
  const std::optional<std::string> file = resources::SelectLanguageFile(l.user, l.system);
  return !file || fs::exists(kProgramFolder / *file);
}

struct PageLinks {
  std::vector<std::string> references;  // src and href values
  std::set<std::string> ids;
};

PageLinks ReadLinks(const fs::path& page) {
  const std::string html = platform::testing::ReadAll(page);
  PageLinks links;
  const std::regex reference(R"re(\b(?:src|href)\s*=\s*(?:"([^"]*)"|'([^']*)'))re", std::regex::icase);
  for (std::sregex_iterator it(html.begin(), html.end(), reference), end; it != end; ++it)
    links.references.push_back((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
  const std::regex id(R"re(\bid\s*=\s*"([^"]*)")re", std::regex::icase);
  for (std::sregex_iterator it(html.begin(), html.end(), id), end; it != end; ++it) links.ids.insert((*it)[1].str());
  return links;
}

// What is wrong with one reference of a page in `folder`, or "" when it is a good one:
// a place on the page, or a file of the page's own folder that exists.
std::string LinkFault(const std::string& reference, const fs::path& folder, const std::set<std::string>& ids) {
  const size_t hash = reference.find('#');
  const std::string target = reference.substr(0, hash);
  if (target.empty()) return ids.count(reference.substr(hash + 1)) ? "" : "no such place on the page";
  if (target.find(':') != std::string::npos || target[0] == '/' || target[0] == '\\')
    return "not a file beside the page";
  const fs::path file = (folder / target).lexically_normal();
  const fs::path inside = file.lexically_relative(folder);
  if (inside.empty() || *inside.begin() == "..") return "outside the page's folder";
  return fs::is_regular_file(file) ? "" : "missing";
}

TEST(HelpPagesTest, EveryShippedLanguageHasItsPageWithEveryFileItShows) {
  const std::string program_folder = platform::paths::ToWindows(kProgramFolder) + "\\";
  std::set<std::string> folders;
  for (const Languages& l : EveryLanguage()) {
    if (!Shipped(l)) continue;
    const std::string folder = HelpLanguageFolder(l.user, l.system);
    if (!folders.insert(folder).second) continue;
    // The page as the help command names it, through the program's own path mapping.
    const std::optional<fs::path> page = platform::paths::ToHost(HelpPagePath(program_folder, l.user, l.system));
    ASSERT_TRUE(page && fs::is_regular_file(*page)) << "no help page for " << folder << " in " << kProgramFolder;

    const PageLinks links = ReadLinks(*page);
    size_t pictures = 0;
    for (const std::string& reference : links.references) {
      EXPECT_EQ(LinkFault(reference, page->parent_path(), links.ids), "") << folder << ": " << reference;
      if (reference.rfind("images/", 0) == 0) ++pictures;
    }
    EXPECT_GT(pictures, 0u) << folder << ": the page shows the windows";
  }
  EXPECT_TRUE(folders.count("English")) << "the English texts are built in, so the English page ships";
}

}  // namespace
}  // namespace utility

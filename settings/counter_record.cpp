#include "settings/counter_record.h"

#include "platform/format.h"
#include "platform/message_box.h"
#include "resources/app_resources.h"
#include "scanner/counter_commands.h"
#include "scanner/model_codes.h"
#include "settings/caution_dlg.h"

namespace settings {
namespace {

using scanner::ModelSet;

constexpr ModelSet kFlatbedCounterRead = ModelSet::Range(12, 16) | ModelSet::Range(25, 29) | ModelSet{32};
constexpr ModelSet kPaperFeedModels = scanner::kPaperFeedRollerModels;
constexpr int kIdsCountWithCaution = 2002;
constexpr int kIdsClearAfterClean = 3201;
constexpr int kIdsClearAfterReplace = 3202;
constexpr int kIdsClearDoubleFeedRoller = 3232;
constexpr int kIdsClearPaperFeed = 3233;

}  // namespace

bool CCounterRecord::BindAndRead(scanner::ScannerContext& context, int mode) {
  context_ = &context;
  const bool ok = Read(mode);
  if (ok && kPaperFeedModels.Has(context.model_code) && paper_feed_caution == 0) context.paper_feed_roller = false;
  return ok;
}

bool CCounterRecord::Read(int mode) {
  if (!Connected()) return false;
  const bool quiet = mode != 0;
  const uint8_t code = context_->model_code;
  const uint8_t ha = context_->host_adapter;
  const uint8_t target = context_->target;
  system = flatbed = 0;
  scanner::SystemCounters counts;
  bool ok = scanner::ReadSystemCounters(ha, target, kFlatbedCounterRead.Has(code) ? 20 : 14, counts, quiet) == 1;
  if (ok) {
    system = counts.system;
    flatbed = counts.flatbed;
  }
  if (scanner::kInterfaceBoardFamily.Has(code)) return ok;
  scanner::RollerCounters rollers;
  if (scanner::ReadRollerCounters(ha, target, scanner::kCompactFamily.Has(code) ? 24 : 16, rollers, quiet) != 1)
    return false;
  after_clean = rollers.after_clean;
  after_replace = rollers.after_replace;
  clean_caution = rollers.clean_threshold;
  replace_caution = rollers.replace_threshold;
  paper_feed = rollers.paper_feed;
  paper_feed_caution = rollers.paper_feed_threshold;
  return ok;
}

bool CCounterRecord::WriteThresholds(uint32_t clean, uint32_t replace, uint32_t paper_feed) {
  if (!context_) return false;
  const bool with_paper_feed = settings::WritesPaperFeedThreshold(context_->model_code);
  if (!scanner::WriteCautionThresholds(context_->host_adapter, context_->target, with_paper_feed ? 12 : 8, clean,
                                       replace, paper_feed))
    return false;
  clean_caution = clean;
  replace_caution = replace;
  if (with_paper_feed) paper_feed_caution = paper_feed;
  return true;
}

bool CCounterRecord::Clear(Counter counter) {
  if (!context_) return false;
  struct Choice {
    int question;
    uint8_t selector;
    uint32_t* count;
  };
  const bool double_feed_roller = kPaperFeedModels.Has(context_->model_code);
  const Choice choice = counter == Counter::kAfterClean ? Choice{kIdsClearAfterClean, scanner::kClearAfterClean, &after_clean}
                        : counter == Counter::kAfterReplace
                            ? Choice{double_feed_roller ? kIdsClearDoubleFeedRoller : kIdsClearAfterReplace,
                                     scanner::kClearAfterReplace, &after_replace}
                            : Choice{kIdsClearPaperFeed, scanner::kClearPaperFeed, &paper_feed};
  if (platform::AfxMessageBox(resources::LoadString(choice.question), platform::MB_OKCANCEL | platform::MB_ICONQUESTION) !=
      platform::IDOK)
    return false;
  if (!scanner::ClearCounter(context_->host_adapter, context_->target, choice.selector)) return false;
  *choice.count = 0;
  return true;
}

int CCounterRecord::CautionFlags() const {
  int flags = 0;
  if (after_clean >= clean_caution) flags |= kCautionClean;
  if (after_replace >= replace_caution) flags |= kCautionReplace;
  if (context_ && kPaperFeedModels.Has(context_->model_code) && context_->paper_feed_roller &&
      paper_feed >= paper_feed_caution)
    flags |= kCautionPaperFeed;
  return flags;
}

uint32_t CCounterRecord::Count(Counter counter) const {
  switch (counter) {
    case Counter::kAfterClean: return after_clean;
    case Counter::kAfterReplace: return after_replace;
    default: return paper_feed;
  }
}

std::string CCounterRecord::WithCaution(uint32_t count, uint32_t caution) const {
  if (!Connected()) return {};
  return resources::FormatString(kIdsCountWithCaution, {count, caution});
}

std::string CCounterRecord::SystemText() const { return Connected() ? platform::Format("%d", system) : ""; }
std::string CCounterRecord::FlatbedText() const { return Connected() ? platform::Format("%d", flatbed) : ""; }
std::string CCounterRecord::AfterCleanText() const { return WithCaution(after_clean, clean_caution); }
std::string CCounterRecord::AfterReplaceText() const { return WithCaution(after_replace, replace_caution); }
std::string CCounterRecord::PaperFeedText() const { return WithCaution(paper_feed, paper_feed_caution); }

}  // namespace settings

// The scanner's page and roller counters with their caution thresholds, as the
// counter panel shows them.
#pragma once
#include <cstdint>
#include <string>

#include "scanner/scanner_context.h"

namespace settings {

// Caution flags.
constexpr int kCautionClean = 1;
constexpr int kCautionReplace = 2;
constexpr int kCautionPaperFeed = 4;
constexpr int kCautionLampOrPlate = 8;  // set from the caution report, never by the record

enum class Counter { kAfterClean, kAfterReplace, kPaperFeed };

class CCounterRecord {
 public:
  // Binds the record to the context and reads it; mode 1 reads quietly. Clears the
  // context's paper-feed-roller flag for 37 and 38 when their paper-feed caution is 0.
  bool BindAndRead(scanner::ScannerContext& context, int mode);
  // Fails without touching the counts while the scanner is not connected.
  bool Read(int mode);
  // The three thresholds to the scanner (the paper-feed one only where the model keeps
  // it); on success the record takes them.
  bool WriteThresholds(uint32_t clean, uint32_t replace, uint32_t paper_feed);
  // Asks first; sends the clear only on OK and zeroes the count when the scanner took it.
  bool Clear(Counter counter);
  int CautionFlags() const;

  std::string SystemText() const;
  std::string FlatbedText() const;
  std::string AfterCleanText() const;
  std::string AfterReplaceText() const;
  std::string PaperFeedText() const;

  uint32_t Count(Counter counter) const;

  uint32_t system = 0;
  uint32_t flatbed = 0;
  uint32_t after_clean = 0;
  uint32_t after_replace = 0;
  uint32_t clean_caution = 0;
  uint32_t replace_caution = 0;
  uint32_t paper_feed = 0;
  uint32_t paper_feed_caution = 0;

 private:
  bool Connected() const { return context_ && context_->connected; }
  std::string WithCaution(uint32_t count, uint32_t caution) const;
  scanner::ScannerContext* context_ = nullptr;
};

}  // namespace settings

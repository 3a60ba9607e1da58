// The framework's command-line record: the program derives from it and overrides the
// per-parameter parse.
#pragma once
#include <string_view>

namespace platform {

class CCommandLineInfo {
 public:
  virtual ~CCommandLineInfo() = default;
  // param: the parameter without a leading '/' or '-'; flag: whether one was there.
  virtual void ParseParam(std::string_view param, bool flag, bool last) = 0;

 protected:
  // The parameter being parsed as it was given, with its '/' or '-'.
  std::string_view RawParam() const { return raw_; }

 private:
  friend void ParseCommandLine(int argc, const char* const* argv, CCommandLineInfo& info);
  std::string_view raw_;
};

// Hands every parameter after the program name to info, in order.
void ParseCommandLine(int argc, const char* const* argv, CCommandLineInfo& info);

}  // namespace platform

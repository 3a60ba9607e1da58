#include "platform/local_time.h"
#include "report/system_sections.h"

namespace report {

bool WriteDateSection(ReportFile& file, ReportContext&) {
  return file.Printf("<< Date >>\n%s\n\n", platform::LocalDateTimeText().c_str());
}

}  // namespace report

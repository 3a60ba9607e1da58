// One Save Info run: the file choice, the file and its sections in order.
#pragma once
#include "report/report_context.h"

namespace report {

// False on Cancel, on a file that cannot be created and when a section fails to
// write; a partly written file stays. Shows no message of its own.
bool RunReport(ReportContext& context);

}  // namespace report

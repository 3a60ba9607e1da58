// What the scanner reports about itself, read while it is identified: options,
// memory, versions, boards, paper mode and buzzer. Every read is quiet; a failed
// one leaves its members at their reset values.
#pragma once
#include "scanner/scanner_context.h"

namespace scanner {

// The configuration block (options, memory, capabilities); 0 when it cannot be read.
int ReadConfiguration(ScannerContext& context);
// The whole sequence, in order: flatbed option, configuration, memory, versions,
// boards, paper mode and buzzer.
void ReadInformation(ScannerContext& context);

}  // namespace scanner

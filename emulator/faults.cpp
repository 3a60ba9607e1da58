#include "emulator/faults.h"

namespace emulator {

bool CommandMatch::Matches(const uint8_t* cdb, uint8_t cdb_length) const {
  if (opcode && (cdb_length < 1 || cdb[0] != *opcode)) return false;
  if (data_type && (cdb_length < 3 || cdb[2] != *data_type)) return false;
  return true;
}

CommandFault SenseFault(CommandMatch match, const Sense& sense, int times, uint32_t answer_bytes) {
  return {match, FaultKind::kSense, sense, answer_bytes, times};
}
CommandFault BusyFault(CommandMatch match, int times) { return {match, FaultKind::kBusy, {}, 0, times}; }
CommandFault TransportErrorFault(CommandMatch match, int times) {
  return {match, FaultKind::kTransportError, {}, 0, times};
}
CommandFault NoAnswerFault(CommandMatch match, int times) { return {match, FaultKind::kNoAnswer, {}, 0, times}; }
CommandFault ShortAnswerFault(CommandMatch match, uint32_t answer_bytes, int times) {
  return {match, FaultKind::kShortAnswer, {}, answer_bytes, times};
}
CommandFault GarbageAnswerFault(CommandMatch match, int times) {
  return {match, FaultKind::kGarbageAnswer, {}, 0, times};
}

CommandFault ZeroAnswerFault(CommandMatch match, int times) { return {match, FaultKind::kZeroAnswer, {}, 0, times}; }

bool ConsumeTimes(int& times) {
  if (times == kAlways) return true;
  if (times <= 0) return false;
  --times;
  return true;
}

}  // namespace emulator

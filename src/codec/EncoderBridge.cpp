// EncoderBridge.cpp - running jt9code and reading its symbol list.
#include "codec/EncoderBridge.h"

#include "codec/ProcessRunner.h"
#include "common/DebugLog.h"

namespace merivac {

std::optional<TxSymbolArray> ParseEncoderOutput(const std::string& output) {
  const size_t at = output.find("symbols");
  if (at == std::string::npos) return std::nullopt;
  TxSymbolArray symbols{};
  size_t count = 0;
  // The word and the one character after it are skipped.
  for (size_t i = at + 8; i < output.size() && count < symbols.size(); ++i) {
    const char c = output[i];
    if (c >= '0' && c <= '8') symbols[count++] = static_cast<uint8_t>(c - '0');
  }
  if (count < symbols.size()) return std::nullopt;
  return symbols;
}

std::optional<TxSymbolArray> RunEncoder(ProcessRunner& runner, const std::string& folder,
                                        const std::string& message, DebugLog* log,
                                        std::chrono::milliseconds timeLimit) {
  auto fail = [log](const std::string& why) -> std::optional<TxSymbolArray> {
    if (log != nullptr) log->Write(why + " [TX]");
    return std::nullopt;
  };
  std::string error;
  auto child = runner.Start(kEncoderPath, {kEncoderPath, message}, folder, &error);
  if (!child) return fail("Encoder could not be started: " + error);
  // jt9code prints its listing and ends at once. One deadline for the whole
  // run: an encoder that hangs, or trickles output, costs this cycle's
  // transmission, not the program.
  using Steady = std::chrono::steady_clock;
  const Steady::time_point deadline = Steady::now() + timeLimit;
  std::string output;
  char block[2048];
  bool ended = false;
  while (Steady::now() < deadline && output.size() <= kMaxEncoderOutputBytes) {
    const int n = child->Read(block, sizeof block, 100);
    if (n == 0) {
      ended = true;
      break;
    }
    if (n > 0) output.append(block, static_cast<size_t>(n));
  }
  child->Terminate();
  if (!ended) {
    return fail(output.size() > kMaxEncoderOutputBytes ? "Encoder printed too much and was ended"
                                                       : "Encoder did not finish and was ended");
  }
  const int status = child->ExitStatus();
  if (status != 0) {
    return fail(status == ChildProcess::kNoExitStatus
                    ? std::string("Encoder crashed")
                    : "Encoder ended with status " + std::to_string(status));
  }
  auto symbols = ParseEncoderOutput(output);
  if (!symbols) return fail("Encoder printed no symbol list");
  return symbols;
}

}  // namespace merivac

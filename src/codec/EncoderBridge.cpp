// EncoderBridge.cpp - running jt9code and reading its symbol list.
#include "codec/EncoderBridge.h"

#include "codec/ProcessRunner.h"
#include "common/DebugLog.h"

namespace merivac {

namespace {
constexpr int kEncoderPatienceSeconds = 10;
}  // namespace

TxSymbolArray ParseEncoderOutput(const std::string& output) {
  TxSymbolArray symbols{};
  const size_t at = output.find("symbols");
  // Drop "symbols" and the one character after it. A missing word counts as
  // lying just before the text, so the scan then starts at its 8th character.
  const size_t from = at == std::string::npos ? 7 : at + 8;
  size_t count = 0;
  for (size_t i = from; i < output.size() && count < symbols.size(); ++i) {
    const char c = output[i];
    if (c >= '0' && c <= '8') symbols[count++] = static_cast<uint8_t>(c - '0');
  }
  return symbols;
}

std::optional<TxSymbolArray> RunEncoder(ProcessRunner& runner, const std::string& folder,
                                        const std::string& message, DebugLog* log) {
  std::string error;
  auto child = runner.Start(kEncoderPath, {kEncoderPath, message}, folder, &error);
  if (!child) {
    if (log != nullptr) log->Write("Encoder could not be started: " + error + " [TX]");
    return std::nullopt;
  }
  std::string output;
  char block[2048];
  // jt9code ends by itself after printing; wait for the end of its output,
  // but not forever: an encoder that hangs costs this cycle's transmission,
  // not the program.
  int idleSeconds = 0;
  for (;;) {
    const int n = child->Read(block, sizeof block, 1000);
    if (n == 0) break;
    if (n > 0) {
      output.append(block, static_cast<size_t>(n));
      idleSeconds = 0;
    } else if (++idleSeconds >= kEncoderPatienceSeconds) {
      child->Terminate();
      if (log != nullptr) log->Write("Encoder did not finish and was ended [TX]");
      return std::nullopt;
    }
  }
  child->Terminate();
  return ParseEncoderOutput(output);
}

}  // namespace merivac

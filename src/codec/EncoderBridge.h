// EncoderBridge.h - turning a message into the 85 channel symbols of a JT9
// transmission with the outside encoder wsjt/jt9code_copy.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/Mode.h"

namespace merivac {

class DebugLog;
class ProcessRunner;

using TxSymbolArray = std::array<uint8_t, kSymbolsPerTransmission>;

constexpr const char* kEncoderPath = "wsjt/jt9code_copy";

// The encoder gets this long for its whole run, and this much output, before
// it is ended: it prints a dozen lines and exits at once.
constexpr std::chrono::milliseconds kEncoderTimeLimit{10000};
constexpr size_t kMaxEncoderOutputBytes = 64 * 1024;

// The symbols in the encoder's printed output: the digits 0..8 after the
// word "symbols" and the one character that follows it (CR and LF removed,
// every other character skipped), the first 85 of them. nullopt when the
// word is missing or fewer than 85 digits follow: such output is not a
// symbol list, and transmitting zeros for the missing ones would send a
// steady carrier.
std::optional<TxSymbolArray> ParseEncoderOutput(const std::string& output);

// Runs the encoder in `folder` with the message as its one argument and
// reads its output. Returns std::nullopt, with a debug-log line, when the
// encoder cannot be started, does not finish within timeLimit, prints
// too much, does not exit normally with status 0, or prints no symbol list:
// that cycle is then not transmitted.
std::optional<TxSymbolArray> RunEncoder(ProcessRunner& runner, const std::string& folder,
                                        const std::string& message, DebugLog* log = nullptr,
                                        std::chrono::milliseconds timeLimit = kEncoderTimeLimit);

}  // namespace merivac

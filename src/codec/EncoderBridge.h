// EncoderBridge.h - turning a message into the 85 channel symbols of a JT9
// transmission with the outside encoder wsjt/jt9code_copy.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/Mode.h"

namespace merivac {

class DebugLog;
class ProcessRunner;

using TxSymbolArray = std::array<uint8_t, kSymbolsPerTransmission>;

constexpr const char* kEncoderPath = "wsjt/jt9code_copy";

// The symbols in the encoder's printed output: the digits 0..8 that follow
// "symbols" and one further character (from the 8th character of the whole
// text when "symbols" is missing), CR and LF removed, every other character
// skipped, at most 85; symbols not found stay 0.
TxSymbolArray ParseEncoderOutput(const std::string& output);

// Runs the encoder in `folder` with the message as its one argument and
// reads its output. Returns std::nullopt, with a debug-log line, when the
// encoder cannot be started: that cycle is then not transmitted.
std::optional<TxSymbolArray> RunEncoder(ProcessRunner& runner, const std::string& folder,
                                        const std::string& message, DebugLog* log = nullptr);

}  // namespace merivac

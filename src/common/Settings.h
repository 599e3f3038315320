// Settings.h - the operator's settings, program-wide values kept in memory.
//
// Each field is one line of the settings file (its four-character key is in
// the comment). The initial values are those in force before the settings
// file is read, which are also the values of keys missing from the file.
// The subsystems read and change these fields directly; the settings file
// reads them once at start and writes them once when the program closes.
#pragma once

#include <cstdint>
#include <string>

namespace merivac {

struct Settings {
  std::string call;              // CALL own callsign
  std::string grid;              // GRID own locator, 4 or 6 characters
  uint8_t pttMethod = 0;         // PTT_ 0 = VOX, 1 = DTR, 2 = RTS
  std::string port;              // PORT serial port name, empty = none
  int32_t outputDevice = -1;     // DEVO
  int32_t inputDevice = -1;      // DEVI
  uint8_t pwr = 0;               // PWR_ output level 0..100
  uint16_t rxFreq = 1225;        // F_RX Hz
  uint16_t txFreq = 1225;        // F_TX Hz
  uint16_t watchdogMinutes = 0;  // WDT_ 0 = off
  uint16_t txDelayMs = 0;        // TXDL
  uint32_t mode = 1;             // CYCL 1, 2, 5 or 10
  int32_t windowTop = -1;        // TOP_ (-1 here: not set, centre the window)
  int32_t windowLeft = -1;       // LEFT
  bool windowPlaced = false;     // the file gave TOP_ and LEFT
  double utcOffsetHours = 0;     // TIME UTC = local - TIME / 24
  bool shortQso = false;         // SQSO
  bool txFirst = false;          // TX_1
  bool holdTxFreq = false;       // HOLD
  bool saveWav = false;          // SAVE
  bool saveDecoded = false;      // S_DC
  bool saveDebug = false;        // S_DB
  bool enableTxAfterSelect = false;  // ENTX
  uint8_t spectrumGain = 20;     // GAIN
  int8_t spectrumOffset = 10;    // OFFS
  bool ignoredFlag = false;      // IGNO read and written back unchanged
  bool showTxMessages = false;   // TXMS
  uint32_t toneSpacing = 1;      // T_SP multiplier
  bool discardTxLimits = false;  // TXLM
  bool discardRxLimits = false;  // RXLM
  int8_t traceOffset = 15;       // AVOF
  bool spectrumAgc = true;       // VAGC
  bool pskEnabled = false;       // P_EN
  bool pskSwl = false;           // P_SW
  std::string pskId;             // P_ID
  uint32_t dialFreq = 0;         // DIAL Hz, 0 = not set
  int32_t spectrumLow = 300;     // FSLO
  int32_t spectrumHigh = 1400;   // FSHI
  bool multiDecode = false;      // MDEC
  bool udpEnabled = false;       // U_EN
  std::string udpAddress = "127.0.0.1";  // U_IP
  int32_t udpPort = 2239;        // U_PO
  uint8_t alertLine = 0;         // A_PN 0 = none, 1 = DTR, 2 = RTS
  bool alertMyCall = false;      // A_MC
  bool alertNewCall = false;     // A_NC
  bool alertNewEntity = false;   // A_DX
  bool alertNewState = false;    // A_ST
  bool alertAnyDistance = false; // A_AD
  bool alertNewDistance = false; // A_ND
  bool alertInclude = false;     // A_IN
  bool alertExclude = false;     // A_EX
  int32_t alertAnyKm = -1;       // A_AK
  int32_t alertNewKm = -1;       // A_NK
  std::string alertIncludeCalls; // A_IC
  std::string alertExcludeCalls; // A_EC
  int32_t mixerLo = 0;           // LO_F Hz
  bool mixerEnabled = false;     // FEM_
  std::string logbookPath;       // LOG_
  bool updateCty = false;        // UCTY
  bool updateWas = false;        // UWAS
  std::string wasSourceUrl;      // WURL where WAS.DAT is downloaded from, empty = not set
};

}  // namespace merivac

// PskReporterApi.h - the six entry points of libpskreporter.so, our PSK
// Reporter spotting library, as the program loads them with dlsym.
//
// Texts are UTF-16 (char16_t), NUL-terminated; every call returns 0 for
// success. Records are key/value texts: key, NUL, value, NUL, ..., closed by
// one more NUL. The library speaks the PSK Reporter protocol (IPFIX over
// UDP) itself; ReporterTickle drives the sending, so it needs no thread.
//
//   ReporterInitialize(host, port)   opens the one socket of the run. With
//       host null the destination is MERIVAC_PSKREPORTER=HOST:PORT when that
//       is set, else report.pskreporter.info:4739; port null means 4739.
//   ReporterSeenCallsign(remote, local, flags)   queues one spot: remote has
//       CALL, MODE, FREQ (Hz), SNR (dB), GRIDSQUARE and optionally TIME (Unix
//       seconds when the station was heard; default now); local has
//       STATION_CALLSIGN, MY_GRIDSQUARE, PROGRAMID, PROGRAMVERSION. The low
//       byte of flags is the information source (1 = decoded automatically).
//   ReporterTickle()   sends what is due: a datagram at most every five
//       minutes, earlier only when it is full.
//   ReporterUninitialize()   sends everything still queued, then closes.
//   ReporterGetInformation(buffer, size), ReporterGetStatistics(buffer,
//       size)   one line of text into buffer (size in code units, NUL
//       included); non-zero when it does not fit.
#pragma once

#ifdef __cplusplus
extern "C" {
#else
#include <uchar.h>
#endif

typedef int (*ReporterInitializeFn)(const char16_t* hostname, const char16_t* port);
typedef int (*ReporterSeenCallsignFn)(const char16_t* remoteInformation,
                                      const char16_t* localInformation, unsigned int flags);
typedef int (*ReporterTickleFn)(void);
typedef int (*ReporterUninitializeFn)(void);
typedef int (*ReporterGetInformationFn)(char16_t* buffer, unsigned int size);
typedef int (*ReporterGetStatisticsFn)(char16_t* buffer, unsigned int size);

int ReporterInitialize(const char16_t* hostname, const char16_t* port);
int ReporterSeenCallsign(const char16_t* remoteInformation, const char16_t* localInformation,
                         unsigned int flags);
int ReporterTickle(void);
int ReporterUninitialize(void);
int ReporterGetInformation(char16_t* buffer, unsigned int size);
int ReporterGetStatistics(char16_t* buffer, unsigned int size);

#ifdef __cplusplus
}
#endif

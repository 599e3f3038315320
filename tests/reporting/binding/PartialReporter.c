/* PartialReporter.c - a spotting library for the binding tests that has
   five of the six entry points: ReporterGetStatistics is missing. Its calls
   do nothing and succeed, so that only the missing name can make the binding
   fail. */
typedef unsigned short ReporterChar;

#define EXPORT __attribute__((visibility("default")))

EXPORT int ReporterInitialize(const ReporterChar* hostname, const ReporterChar* port) {
  (void)hostname;
  (void)port;
  return 0;
}

EXPORT int ReporterSeenCallsign(const ReporterChar* remote, const ReporterChar* local,
                                unsigned int flags) {
  (void)remote;
  (void)local;
  (void)flags;
  return 0;
}

EXPORT int ReporterTickle(void) { return 0; }

EXPORT int ReporterUninitialize(void) { return 0; }

EXPORT int ReporterGetInformation(ReporterChar* buffer, unsigned int size) {
  (void)buffer;
  (void)size;
  return 0;
}

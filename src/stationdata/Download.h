// Download.h - fetching the table files from the web.
//
// A Downloader fetches one URL into one local file and says what happened
// in words for the debug log. DownloadFile puts a table in place safely: the
// transfer goes to a temporary file beside the target, and only a complete
// transfer (HTTP status 200) whose content passes the table's own check is
// renamed over the target. Anything else (no network, a timeout, an error
// status, a cut-off transfer, an error page) leaves the old file untouched.
#pragma once

#include <functional>
#include <string>

namespace merivac {

class DebugLog;

struct FetchResult {
  bool ok = false;      // the whole body arrived with HTTP status 200
  long httpStatus = 0;  // 0 when no response arrived
  std::string detail;   // what happened, for the debug log
};

class Downloader {
 public:
  virtual ~Downloader() = default;
  // Writes the response body to path (created or truncated).
  virtual FetchResult Fetch(const std::string& url, const std::string& path) = 0;
};

// The limits of one transfer through libcurl.
struct CurlLimits {
  long connectTimeoutMs = 10000;  // to reach the server
  long totalTimeoutMs = 60000;    // for the whole transfer, redirects included
  long maxRedirects = 5;
  long long maxBytes = 64LL * 1024 * 1024;
};

// HTTP and HTTPS through libcurl, redirects followed (to HTTP or HTTPS only).
class CurlDownloader final : public Downloader {
 public:
  explicit CurlDownloader(CurlLimits limits = {}) : limits_(limits) {}
  FetchResult Fetch(const std::string& url, const std::string& path) override;

 private:
  CurlLimits limits_;
};

// Whether a fetched file holds a usable table.
using TableCheck = std::function<bool(const std::string& path, std::string& why)>;

// DownloadFile: fetches url into file through a temporary file beside it and
// renames it into place when the transfer was complete and check accepts
// it. Writes what happened to the log (null: no log). True when the file was
// replaced. An empty url fails ("no source set").
bool DownloadFile(Downloader& downloader, const std::string& url, const std::string& file,
                  const TableCheck& check, DebugLog* log);

}  // namespace merivac

// Download.cpp - libcurl transfers and the safe replacement of a table file.
#include "stationdata/Download.h"

#include <curl/curl.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>

#include "common/DebugLog.h"

namespace merivac {

namespace {

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink {
  std::FILE* file = nullptr;
  long long written = 0;
  long long maxBytes = 0;
  bool tooLarge = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t n = size * count;
  if (sink->written + static_cast<long long>(n) > sink->maxBytes) {
    sink->tooLarge = true;
    return 0;  // ends the transfer with a write error
  }
  if (std::fwrite(data, 1, n, sink->file) != n) return 0;
  sink->written += static_cast<long long>(n);
  return n;
}

std::string Describe(CURLcode code, const char* errorBuffer) {
  std::string text =
      "curl error " + std::to_string(static_cast<int>(code)) + ": " + curl_easy_strerror(code);
  if (errorBuffer[0] != '\0') text += std::string(" (") + errorBuffer + ")";
  return text;
}

}  // namespace

FetchResult CurlDownloader::Fetch(const std::string& url, const std::string& path) {
  FetchResult result;
  InitCurlOnce();
  std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), &curl_easy_cleanup);
  if (!curl) {
    result.detail = "curl could not be initialised";
    return result;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                       &std::fclose);
  if (!file) {
    result.detail = "cannot write " + path;
    return result;
  }
  Sink sink{file.get(), 0, limits_.maxBytes, false};
  char errorBuffer[CURL_ERROR_SIZE] = {};
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &WriteBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, limits_.maxRedirects);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, limits_.connectTimeoutMs);
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, limits_.totalTimeoutMs);
  curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxBytes));
  // No signals: the program's own handlers stay in charge, and the timeouts
  // work without SIGALRM.
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  // A proxy of the environment is used for the web, never for this machine.
  curl_easy_setopt(c, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
  curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(c, CURLOPT_USERAGENT, "Merivac");

  const CURLcode code = curl_easy_perform(c);
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &result.httpStatus);
  const bool flushed = std::fflush(file.get()) == 0;
  file.reset();
  if (sink.tooLarge) {
    result.detail = "transfer stopped: larger than " + std::to_string(limits_.maxBytes) + " bytes";
  } else if (code != CURLE_OK) {
    result.detail = Describe(code, errorBuffer);
  } else if (result.httpStatus != 200) {
    result.detail = "HTTP status " + std::to_string(result.httpStatus);
  } else if (!flushed) {
    result.detail = "cannot write " + path;
  } else {
    result.ok = true;
    result.detail = "HTTP status 200, " + std::to_string(sink.written) + " bytes";
  }
  return result;
}

bool DownloadFile(Downloader& downloader, const std::string& url, const std::string& file,
                  const TableCheck& check, DebugLog* log) {
  namespace fs = std::filesystem;
  auto note = [log](const std::string& text) {
    if (log != nullptr) log->Write(text);
  };
  if (url.empty()) {
    note("Download of " + file + " failed: no source address is set");
    return false;
  }
  std::error_code ec;
  const fs::path target(file);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  const std::string temporary = file + ".download";
  const FetchResult fetched = downloader.Fetch(url, temporary);
  if (!fetched.ok) {
    fs::remove(temporary, ec);
    note("Download of " + url + " failed: " + fetched.detail + "; " + file + " is unchanged");
    return false;
  }
  std::string why;
  if (check && !check(temporary, why)) {
    fs::remove(temporary, ec);
    note("Download of " + url + " discarded: " + why + "; " + file + " is unchanged");
    return false;
  }
  fs::rename(temporary, target, ec);
  if (ec) {
    const std::string reason = ec.message();
    fs::remove(temporary, ec);
    note("Download of " + url + " could not replace " + file + ": " + reason);
    return false;
  }
  note("Downloaded " + url + " to " + file + " (" + fetched.detail + ")");
  return true;
}

}  // namespace merivac

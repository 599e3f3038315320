// ReporterLibrary.h - the PSK Reporter spotting library as the program sees
// it: a shared library loaded by name at run time, and its entry points by
// name.
//
// The program ships its own libpskreporter.so (src/reporting/pskreporter).
// It is looked for in the program folder first, then along the normal
// library search path. Tests may hand the binding another ReporterLibrary.
#pragma once

#include <string>
#include <utility>

namespace merivac {

constexpr const char* kReporterLibraryName = "libpskreporter.so";

class ReporterLibrary {
 public:
  virtual ~ReporterLibrary() = default;
  // Loads the library unless it is loaded; false when it cannot be found or
  // loaded (Error() says why).
  virtual bool Load() = 0;
  virtual bool Loaded() const = 0;
  // The address of an entry point, nullptr when the library has none.
  virtual void* Symbol(const char* name) = 0;
  // Unloads the library (nothing when it is not loaded).
  virtual void Release() = 0;
  virtual std::string Error() const = 0;
};

// dlopen of folder/name, else of name through the library search path.
class SharedReporterLibrary final : public ReporterLibrary {
 public:
  explicit SharedReporterLibrary(std::string name = kReporterLibraryName, std::string folder = {})
      : name_(std::move(name)), folder_(std::move(folder)) {}
  ~SharedReporterLibrary() override { Release(); }
  SharedReporterLibrary(const SharedReporterLibrary&) = delete;
  SharedReporterLibrary& operator=(const SharedReporterLibrary&) = delete;

  // The program folder, searched first (empty: only the search path).
  void SetFolder(std::string folder) { folder_ = std::move(folder); }

  bool Load() override;
  bool Loaded() const override { return handle_ != nullptr; }
  void* Symbol(const char* name) override;
  void Release() override;
  std::string Error() const override { return error_; }
  // Where the loaded library was found.
  const std::string& LoadedFrom() const { return loadedFrom_; }

 private:
  std::string name_;
  std::string folder_;
  void* handle_ = nullptr;
  std::string error_;
  std::string loadedFrom_;
};

}  // namespace merivac

// ReporterLibrary.cpp - loading the spotting library with dlopen.
#include "reporting/ReporterLibrary.h"

#include <dlfcn.h>

namespace merivac {

namespace {

std::string LastDlError() {
  const char* e = ::dlerror();
  return e != nullptr ? e : "unknown error";
}

}  // namespace

bool SharedReporterLibrary::Load() {
  if (handle_ != nullptr) return true;
  error_.clear();
  // A name with a slash would not use the search path: the folder's copy
  // is tried by its full path, the bare name by the search path.
  if (!folder_.empty()) {
    const std::string path = folder_ + "/" + name_;
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ != nullptr) {
      loadedFrom_ = path;
      return true;
    }
    error_ = LastDlError() + "; ";
  }
  handle_ = ::dlopen(name_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ != nullptr) {
    loadedFrom_ = name_;
    error_.clear();
    return true;
  }
  error_ += LastDlError();
  return false;
}

void* SharedReporterLibrary::Symbol(const char* name) {
  if (handle_ == nullptr) return nullptr;
  ::dlerror();
  return ::dlsym(handle_, name);
}

void SharedReporterLibrary::Release() {
  if (handle_ == nullptr) return;
  ::dlclose(handle_);
  handle_ = nullptr;
  loadedFrom_.clear();
}

}  // namespace merivac

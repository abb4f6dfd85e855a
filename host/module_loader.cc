#include "host/module_loader.h"

#include <fstream>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

namespace quorlax_host {
namespace {

constexpr char kExport[] = "QuorlaxPluginCApiRegisterWithRegistrar";

#if defined(_WIN32)
constexpr char kModuleName[] = "quorlax_plugin.dll";
constexpr char kSeparator = '\\';

std::wstring Widen(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(length > 0 ? static_cast<std::size_t>(length) : 0, L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
  if (!wide.empty()) wide.pop_back();  // the terminator
  return wide;
}

std::string ExecutableFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), utf8.data(), size, nullptr,
                      nullptr);
  return utf8.substr(0, utf8.find_last_of("\\/"));
}
#else
constexpr char kModuleName[] = "libquorlax_plugin.so";
constexpr char kSeparator = '/';

std::string ExecutableFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return ".";
  const std::string executable(path, static_cast<std::size_t>(length));
  return executable.substr(0, executable.find_last_of('/'));
}
#endif

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace

std::unique_ptr<LoadedModule> LoadedModule::Load(const std::string& path, std::string* error) {
#if defined(_WIN32)
  HMODULE module = LoadLibraryW(Widen(path).c_str());
  if (module == nullptr) {
    *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  // Through void*, since FARPROC's own function type is not the export's.
  void* function = reinterpret_cast<void*>(GetProcAddress(module, kExport));
#else
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    *error = "cannot load " + path + ": " + dlerror();
    return nullptr;
  }
  void* function = dlsym(module, kExport);
#endif
  if (function == nullptr) {
    *error = path + " has no export " + kExport;
    return nullptr;
  }
  // The export is a function; the loaders hand back a generic pointer to it.
  return std::unique_ptr<LoadedModule>(
      new LoadedModule(reinterpret_cast<RegisterWithRegistrar>(function)));
}

std::string DefaultModulePath() {
  const std::string folder = ExecutableFolder();
  std::string beside = folder + kSeparator + kModuleName;
  if (Exists(beside)) return beside;
  const std::string installed =
      folder + kSeparator + ".." + kSeparator + "lib" + kSeparator + kModuleName;
  return Exists(installed) ? installed : beside;
}

}  // namespace quorlax_host

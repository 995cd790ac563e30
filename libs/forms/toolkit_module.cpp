// The toolkit module loader: dlopen by path, one entry point, the loader's message on failure.
#include "libs/forms/toolkit_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace quoll::forms {
namespace {

std::vector<std::filesystem::path> Candidates() {
  if (const char* named = std::getenv("QUOLL_FORMS_MODULE"); named && *named) return {named};
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {kToolkitModuleName};
  const std::filesystem::path folder = program.parent_path();
  return {folder / kToolkitModuleName, folder / ".." / "lib" / "quoll" / kToolkitModuleName};
}

}  // namespace

std::unique_ptr<Toolkit> LoadToolkitModule(std::string& error) {
  std::string reasons;
  for (const std::filesystem::path& path : Candidates()) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && Candidates().size() > 1) {
      reasons += (reasons.empty() ? "" : "; ") + path.string() + " not found";
      continue;
    }
    // The module stays loaded for the rest of the process: the toolkit's libraries do not unload.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      const char* why = dlerror();
      reasons += (reasons.empty() ? "" : "; ") + std::string(why ? why : path.string());
      continue;
    }
    auto entry = reinterpret_cast<ToolkitEntry>(dlsym(module, kToolkitEntryName));
    if (!entry) {
      reasons += (reasons.empty() ? "" : "; ") + path.string() + " has no " + kToolkitEntryName;
      continue;
    }
    std::unique_ptr<Toolkit> toolkit;
    entry(&toolkit, &error);
    return toolkit;
  }
  error = reasons;
  return nullptr;
}

}  // namespace quoll::forms

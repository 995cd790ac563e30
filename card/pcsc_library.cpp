// Loading pcsc-lite with dlopen and looking up its entry points by name.
#include "card/pcsc_library.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace quoll {

namespace {
template <typename T>
void LookUp(void* handle, const char* name, T& entry) {
  entry = reinterpret_cast<T>(dlsym(handle, name));
}
}  // namespace

std::string PcscLibraryName() {
  const char* name = std::getenv("QUOLL_PCSC_LIBRARY");
  return name && *name ? name : "libpcsclite.so.1";
}

void PcscLibrary::Closer::operator()(void* handle) const {
  dlclose(handle);
}

bool PcscLibrary::Load(const std::string& name) {
  if (handle_) return true;
  // RTLD_NODELETE keeps the code mapped after dlclose: the client library keeps its own
  // bookkeeping in its globals, which must not vanish under anything still pointing into it.
  void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle) {
    const char* why = dlerror();
    loadError_ = why ? why : name + ": cannot be loaded";
    return false;
  }
  loadError_.clear();
  handle_.reset(handle);
  // pcsc-lite names the ANSI functions without the "A" suffix of the Windows library.
  LookUp(handle, "SCardEstablishContext", EstablishContext);
  LookUp(handle, "SCardListReaders", ListReaders);
  LookUp(handle, "SCardConnect", Connect);
  LookUp(handle, "SCardDisconnect", Disconnect);
  auto* t0 = static_cast<const SCARD_IO_REQUEST*>(dlsym(handle, "g_rgSCardT0Pci"));
  auto* t1 = static_cast<const SCARD_IO_REQUEST*>(dlsym(handle, "g_rgSCardT1Pci"));
  if (t0) {
    T0Pci = t0;
    T1Pci = t1;
  }
  LookUp(handle, "SCardTransmit", Transmit);
  LookUp(handle, "SCardControl", Control);
  LookUp(handle, "SCardReleaseContext", ReleaseContext);
  LookUp(handle, "SCardStatus", Status);
  LookUp(handle, "SCardGetStatusChange", GetStatusChange);
  LookUp(handle, "SCardCancel", Cancel);
  LookUp(handle, "pcsc_stringify_error", StringifyError);
  return true;
}

void PcscLibrary::Unload() {
  EstablishContext = nullptr;
  ReleaseContext = nullptr;
  ListReaders = nullptr;
  Connect = nullptr;
  Disconnect = nullptr;
  Transmit = nullptr;
  Control = nullptr;
  Status = nullptr;
  GetStatusChange = nullptr;
  Cancel = nullptr;
  StringifyError = nullptr;
  T0Pci = T1Pci = nullptr;
  handle_.reset();
}

std::string PcscLibrary::Describe(LONG result) const {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(static_cast<uint32_t>(result)));
  const char* text = StringifyError ? StringifyError(result) : nullptr;
  if (!text || !*text) return code;
  return std::string(text) + " (" + code + ")";
}

}  // namespace quoll

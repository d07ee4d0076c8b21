// Language store: any bytes as a language file; every text must be UTF-8.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/language.h"
#include "platform/text_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LanguageStore store = CreateLanguage();
  store.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
  for (int i = -1; i <= store.Count(); ++i) {
    if (!IsValidUtf8(store.GetLanguageString(i))) std::abort();
  }
  for (int i = 0; i < 4; ++i) {
    if (!IsValidUtf8(store.GetMessageString(i))) std::abort();
  }
  return 0;
}

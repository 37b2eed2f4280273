#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>

#include "runtime/failure.h"
#include "runtime/text_decoder.h"

namespace zprava {
namespace {

// The notice files this program has always read come from Czech Windows
// machines, whose code page is 1250 (not ISO-8859-2: 0x8A is Š there).
constexpr const char* kLegacyCodePage = "WINDOWS-1250";
constexpr const char* kNativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

class Converter {
 public:
  Converter() : handle_(iconv_open(kNativeUtf16, kLegacyCodePage)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) throw RuntimeFailure(FailureNumber::kInternal);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { iconv_close(handle_); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

}  // namespace

std::u16string DecodeLegacyCodePage(std::string_view bytes) {
  Converter converter;
  std::u16string text(bytes.size(), u'\0');
  char* in = const_cast<char*>(bytes.data());  // iconv's signature predates const
  std::size_t in_left = bytes.size();
  char* out = reinterpret_cast<char*>(text.data());
  std::size_t out_left = text.size() * sizeof(char16_t);
  while (in_left > 0) {
    if (iconv(converter.get(), &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1)) {
      break;
    }
    if (errno != EILSEQ && errno != EINVAL) throw RuntimeFailure(FailureNumber::kInternal);
    // A byte the code page leaves undefined: show it as a replacement character.
    const char16_t replacement = 0xFFFD;
    std::memcpy(out, &replacement, sizeof replacement);
    out += sizeof replacement;
    out_left -= sizeof replacement;
    ++in;
    --in_left;
  }
  text.resize(static_cast<std::size_t>(out - reinterpret_cast<char*>(text.data())) /
              sizeof(char16_t));
  return text;
}

}  // namespace zprava

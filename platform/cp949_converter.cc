#include "platform/cp949_converter.h"

#include <iconv.h>

#include "platform/cp949.h"

namespace lirako {
namespace {

constexpr int kTrails = 190;

}  // namespace

const Cp949Converter& Cp949Converter::Instance() {
  static const Cp949Converter converter;
  return converter;
}

Cp949Converter::Cp949Converter() {
  for (char16_t& u : pairs_)
    u = 0xFFFD;
  iconv_t cd = iconv_open("UTF-16LE", "CP949");
  if (cd == reinterpret_cast<iconv_t>(-1)) return;
  available_ = true;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x41; trail <= 0xFE; ++trail) {
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      char out[8];
      char* inp = in;
      char* outp = out;
      size_t inLeft = 2;
      size_t outLeft = sizeof(out);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) && inLeft == 0 &&
          sizeof(out) - outLeft >= 2) {
        pairs_[(lead - 0x81) * kTrails + (trail - 0x41)] = static_cast<char16_t>(
            static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
      }
    }
  }
  iconv_close(cd);
}

char16_t Cp949Converter::PairUnit(unsigned char lead, unsigned char trail) const {
  if (lead < 0x81 || lead > 0xFE || trail < 0x41 || trail > 0xFE) return 0xFFFD;
  return pairs_[(lead - 0x81) * kTrails + (trail - 0x41)];
}

std::u16string Cp949Converter::Convert(std::string_view bytes) const {
  std::u16string out;
  out.resize(bytes.size());
  size_t n = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t size = bytes.size();
  for (size_t i = 0; i < size;) {
    unsigned char b = p[i];
    if (b < 0x80 || !available_) {
      out[n++] = b;
      ++i;
    } else if (i + 1 < size && IsCp949Pair(b, p[i + 1])) {
      out[n++] = PairUnit(b, p[i + 1]);
      i += 2;
    } else {
      out[n++] = 0xFFFD;
      ++i;
    }
  }
  out.resize(n);
  return out;
}

}  // namespace lirako

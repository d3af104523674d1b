#include "text/CodePage.h"

#include <cstdint>

namespace qz {
namespace {

// Unicode of the bytes 0x80..0xFF. The five bytes that Windows-1250 leaves
// undefined map to the C1 controls of the same value, as Windows maps them.
constexpr std::uint16_t kHighHalf[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool ByteOfCode(std::uint32_t code, char& byte) {
  if (code < 0x80) {
    byte = static_cast<char>(code);
    return true;
  }
  for (int i = 0; i < 128; ++i) {
    if (kHighHalf[i] == code) {
      byte = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

}  // namespace

unsigned char UpperCp1250(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // ś
    case 0x9D: return 0x8D;  // ť
    case 0x9E: return 0x8E;  // ž
    case 0x9F: return 0x8F;  // ź
    case 0xB3: return 0xA3;  // ł
    case 0xB9: return 0xA5;  // ą
    case 0xBA: return 0xAA;  // ş
    case 0xBE: return 0xBC;  // ľ
    case 0xBF: return 0xAF;  // ż
    default: break;
  }
  if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return static_cast<unsigned char>(c - 0x20);
  return c;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    int x = UpperCp1250(static_cast<unsigned char>(a[i]));
    int y = UpperCp1250(static_cast<unsigned char>(b[i]));
    if (x != y) return x - y;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string Utf8FromCp1250(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    AppendUtf8(out, byte < 0x80 ? byte : kHighHalf[byte - 0x80]);
  }
  return out;
}

bool Cp1250FromUtf8(std::string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  bool whole = true;
  for (std::size_t i = 0; i < text.size();) {
    auto lead = static_cast<unsigned char>(text[i]);
    std::uint32_t code = lead;
    std::size_t extra = 0;
    if (lead >= 0x80) {
      if ((lead & 0xE0) == 0xC0) {
        code = lead & 0x1F;
        extra = 1;
      } else if ((lead & 0xF0) == 0xE0) {
        code = lead & 0x0F;
        extra = 2;
      } else if ((lead & 0xF8) == 0xF0) {
        code = lead & 0x07;
        extra = 3;
      } else {
        extra = 4;  // no lead byte at all
      }
    }
    bool formed = extra < 4 && i + extra < text.size();
    for (std::size_t k = 1; formed && k <= extra; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      formed = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    char byte;
    if (formed && ByteOfCode(code, byte)) {
      out += byte;
      i += extra + 1;
      continue;
    }
    // One stand-in for a whole character the code page lacks, or for each
    // byte of a malformed sequence.
    out += kUnconvertedCharacter;
    whole = false;
    i += formed ? extra + 1 : 1;
  }
  return whole;
}

std::u16string Utf16FromCp1250(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    out += static_cast<char16_t>(byte < 0x80 ? byte : kHighHalf[byte - 0x80]);
  }
  return out;
}

bool Cp1250FromUtf16(std::u16string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  bool whole = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    char byte;
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      // A character beyond the first plane, whole or not: one stand-in.
      bool pair = unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
      if (pair) ++i;
      byte = kUnconvertedCharacter;
      whole = false;
    } else if (!ByteOfCode(unit, byte)) {
      byte = kUnconvertedCharacter;
      whole = false;
    }
    out += byte;
  }
  return whole;
}

}  // namespace qz

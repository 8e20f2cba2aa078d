#include "tools/qvpack/windows_names.h"

#include <cstdint>
#include <cstdio>

namespace {

// Unicode code points of the Windows-1252 bytes 0x80 to 0x9F; 0 = unassigned.
const uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Decodes one UTF-8 sequence at text[*i]; false for a malformed one
// (truncated, overlong, a surrogate or beyond U+10FFFF).
bool DecodeUtf8(const std::string& text, size_t* i, uint32_t* codePoint) {
  const uint8_t lead = uint8_t(text[*i]);
  int extra = 0;
  uint32_t value = 0;
  uint32_t minimum = 0;
  if (lead < 0x80) {
    *codePoint = lead;
    ++*i;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    return false;
  }
  if (*i + extra >= text.size()) return false;
  for (int k = 1; k <= extra; ++k) {
    const uint8_t next = uint8_t(text[*i + k]);
    if ((next & 0xC0) != 0x80) return false;
    value = value << 6 | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *codePoint = value;
  *i += extra + 1;
  return true;
}

int EncodeWindows1252(uint32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return int(codePoint);
  for (int k = 0; k < 32; ++k) {
    if (kHighControls[k] != 0 && kHighControls[k] == codePoint) return 0x80 + k;
  }
  return -1;
}

void AppendUtf8(std::string* out, uint32_t codePoint) {
  if (codePoint < 0x80) {
    out->push_back(char(codePoint));
  } else if (codePoint < 0x800) {
    out->push_back(char(0xC0 | codePoint >> 6));
    out->push_back(char(0x80 | (codePoint & 0x3F)));
  } else {
    out->push_back(char(0xE0 | codePoint >> 12));
    out->push_back(char(0x80 | (codePoint >> 6 & 0x3F)));
    out->push_back(char(0x80 | (codePoint & 0x3F)));
  }
}

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return text;
}

bool IsDeviceName(const std::string& name) {
  // Windows maps these names to devices whatever extension follows and
  // whatever blanks stand before it.
  std::string base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  base = UpperAscii(base);
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

bool Utf8ToWindows1252(const std::string& utf8, std::string* out, std::string* reason) {
  out->clear();
  size_t i = 0;
  while (i < utf8.size()) {
    const size_t start = i;
    uint32_t codePoint = 0;
    if (!DecodeUtf8(utf8, &i, &codePoint)) {
      char text[64];
      std::snprintf(text, sizeof text, "not valid UTF-8 (byte 0x%02X at %zu)",
                    unsigned(uint8_t(utf8[start])), start);
      *reason = text;
      return false;
    }
    const int byte = EncodeWindows1252(codePoint);
    if (byte < 0) {
      char text[96];
      std::snprintf(text, sizeof text, "character U+%04X cannot be represented in Windows-1252",
                    unsigned(codePoint));
      *reason = text;
      return false;
    }
    out->push_back(char(byte));
  }
  return true;
}

std::string Windows1252ToUtf8(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    const uint8_t byte = uint8_t(c);
    uint32_t codePoint = byte;
    if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0) {
      codePoint = kHighControls[byte - 0x80];
    }
    AppendUtf8(&out, codePoint);
  }
  return out;
}

std::string WindowsNameProblem(const std::string& name) {
  if (name.empty()) return "empty name";
  if (name == "." || name == "..") return "name \"" + name + "\" is reserved";
  for (char c : name) {
    const uint8_t byte = uint8_t(c);
    if (byte < 0x20 || byte == 0x7F) {
      char text[64];
      std::snprintf(text, sizeof text, "control character 0x%02X in the name", unsigned(byte));
      return text;
    }
    for (const char* p = "\\/:*?\"<>|"; *p; ++p) {
      if (c == *p) return std::string("character '") + c + "' is not allowed by Windows";
    }
  }
  if (name.back() == '.') return "Windows does not allow a name ending in a dot";
  if (name.back() == ' ') return "Windows does not allow a name ending in a blank";
  if (IsDeviceName(name)) return "name is a reserved device name on Windows";
  return "";
}

std::string FoldWindowsCase(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    const uint8_t byte = uint8_t(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) {
      c = char(byte - 0x20);
    } else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) {
      c = char(byte - 0x10);  // š œ ž -> Š Œ Ž
    } else if (byte == 0xFF) {
      c = char(0x9F);  // ÿ -> Ÿ
    }
  }
  return folded;
}

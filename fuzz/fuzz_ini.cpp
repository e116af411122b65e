// Fuzzes the INI engine and the settings value encodings. Any input must load, save back to
// the very same bytes, answer every read, and keep its invariants through writes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_placement.h"
#include "settings/ini_file.h"
#include "settings/setting_codec.h"

using namespace quillon::platform;
using namespace quillon::settings;

#define CHECK(cond)                                                                 \
  do {                                                                              \
    if (!(cond)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                 \
    }                                                                               \
  } while (0)

namespace {

constexpr std::size_t kMaxSections = 48;
constexpr std::size_t kMaxKeys = 48;

bool blank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n' || c == '\x1a';
}

// What a written value reads back as: trimmed, one pair of matching quotes dropped.
std::string expectedRead(std::string_view v) {
  while (!v.empty() && blank(v.front())) v.remove_prefix(1);
  while (!v.empty() && blank(v.back())) v.remove_suffix(1);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

void exerciseCodecs(std::string_view v) {
  (void)decodeInteger(v, 7);
  (void)decodeBool(v, true);
  std::string error;
  if (auto c = decodeColor(v, &error)) {
    CHECK(decodeColor(encodeColor(*c)) == c);
  } else {
    CHECK(!error.empty());
  }
  FontInfo font;
  font.name = "unchanged";
  error.clear();
  if (decodeFont(v, font, &error)) {
    FontInfo again;
    if (font.name.find(',') == std::string::npos) {
      CHECK(decodeFont(encodeFont(font), again));
      CHECK(again == font);
    }
  } else {
    CHECK(font.name == "unchanged");
  }
  if (auto p = readPlacement(v, ScreenRect{0, 0, 1024, 768})) {
    CHECK(p->normal.right <= 1024 && p->normal.bottom <= 768);
    CHECK(parsePlacement(formatPlacement(*p)) == p);
  }
}

// Everything a reader sees, for comparing two files.
void checkSameView(const IniFile& a, const IniFile& b) {
  const auto names = a.sectionNames();
  CHECK(names == b.sectionNames());
  for (std::size_t i = 0; i < names.size() && i < kMaxSections; ++i)
    CHECK(a.readSectionValues(names[i]) == b.readSectionValues(names[i]));
}

void checkReparse(const IniFile& ini) {
  const std::string bytes = ini.bytes();
  IniFile again(bytes);
  CHECK(again.bytes() == bytes);
  checkSameView(ini, again);
}

// Pieces of the input used as names and values in writes.
struct Source {
  std::string_view data;
  std::size_t pos = 0;
  std::string take(std::size_t max) {
    if (pos >= data.size()) return {};
    const std::size_t n =
        std::min<std::size_t>(max, static_cast<unsigned char>(data[pos]) % (max + 1));
    std::string out(data.substr(pos + 1, n));
    pos += n + 1;
    return out;
  }
  unsigned byte() { return pos < data.size() ? static_cast<unsigned char>(data[pos++]) : 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  IniFile ini(input);
  CHECK(ini.bytes() == input);
  CHECK(!ini.modified());

  const std::vector<std::string> names = ini.sectionNames();
  for (std::size_t i = 0; i < names.size() && i < kMaxSections; ++i) {
    const std::string& s = names[i];
    CHECK(ini.sectionExists(s));
    const auto keys = ini.readSection(s);
    CHECK(keys.size() <= ini.readSectionValues(s).size());
    for (std::size_t k = 0; k < keys.size() && k < kMaxKeys; ++k) {
      CHECK(ini.valueExists(s, keys[k]));
      const std::string v = ini.readString(s, keys[k], "\x01");
      if (v.size() <= 4096) exerciseCodecs(v);
    }
    (void)ini.readList(s, "H", 30);
  }

  // A few writes chosen by the input's tail, each checked against a fresh parse.
  Source src{input.substr(input.size() - std::min<std::size_t>(input.size(), 256))};
  for (int step = 0; step < 6; ++step) {
    const unsigned op = src.byte() % 5;
    std::string section =
        (!names.empty() && (src.byte() & 1)) ? names[src.byte() % names.size()] : src.take(12);
    std::string key = src.take(8);
    const std::string value = src.take(40);
    const std::string before = ini.bytes();
    switch (op) {
      case 0:
      case 1:
        if (ini.writeString(section, key, value)) {
          CHECK(ini.readString(section, key, "\x01") == expectedRead(value));
          IniFile again(ini.bytes());
          CHECK(again.readString(section, key, "\x01") == expectedRead(value));
        } else {
          CHECK(ini.bytes() == before);
        }
        break;
      case 2:
        ini.deleteKey(section, key);
        CHECK(!ini.valueExists(section, key));
        break;
      case 3:
        ini.eraseSection(section);
        CHECK(!ini.sectionExists(section));
        break;
      case 4: {
        std::vector<std::string> items;
        for (unsigned n = src.byte() % 6; n > 0; --n) items.push_back(src.take(10));
        if (ini.writeList(section, "H", items, 4)) {
          std::vector<std::string> expected;
          for (std::size_t i = 0; i < items.size() && i < 4; ++i) {
            const std::string e = expectedRead(items[i]);
            if (e.empty()) break;
            expected.push_back(e);
          }
          CHECK(ini.readList(section, "H", 4) == expected);
        }
        break;
      }
    }
    checkReparse(ini);
  }
  const IniFile copy = ini;
  CHECK(copy.bytes() == ini.bytes());
  checkSameView(copy, ini);
  return 0;
}

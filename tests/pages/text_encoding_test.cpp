// Every accepted input comes back byte for byte, every refused one is left untouched.
#include "pages/text_encoding.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

#include "platform/windows1252.h"

namespace quillon::pages {
namespace {

using editor::LineBreak;
using E = TextEncoding;

struct Decoded {
  TextFormat format;
  std::string text;
};

Decoded decode(const std::string& bytes) {
  auto buffer = std::make_unique<char[]>(bytes.size() + 1);
  std::memcpy(buffer.get(), bytes.data(), bytes.size());
  const DecodedText d = decodeText(buffer, bytes.size());
  return {d.format, std::string(buffer.get(), d.size)};
}

// What Save writes for an unchanged text: the bytes it was read from.
std::string writtenBack(const Decoded& d) { return encodeText(d.text, d.format); }

std::string utf8(char32_t c) {
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  const int n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  std::string s(n, '\0');
  for (int i = n - 1; i > 0; --i, c >>= 6) s[i] = static_cast<char>(0x80 | (c & 0x3F));
  s[0] = static_cast<char>(((0xF00 >> n) & 0xFF) | c);  // C0, E0 or F0 and what is left
  return s;
}

std::string utf16LE(std::u16string_view units) {
  std::string s = "\xFF\xFE";
  for (char16_t u : units) s.append({static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)});
  return s;
}

const std::string kMark8 = "\xEF\xBB\xBF";
const std::string kMarkLE = "\xFF\xFE";
const std::string kMarkBE = "\xFE\xFF";

struct Case {
  const char* what;
  std::string bytes;
  E encoding;
  bool held;
  std::string text;
};

TEST(TextEncoding, RecognisesConvertsAndGivesBackTheVeryBytes) {
  const Case cases[] = {
      {"ASCII", "Dim a\r\n", E::windows1252, false, "Dim a\r\n"},
      {"empty", "", E::windows1252, false, ""},
      {"Windows-1252 accents", "caf\xE9 \x80", E::windows1252, false, "caf\xE9 \x80"},
      {"UTF-8 with a mark", kMark8 + "' caf\xC3\xA9 \xE2\x82\xAC 5\r\n", E::utf8WithMark, false,
       "' caf\xE9 \x80 5\r\n"},
      {"UTF-8 without one", "x = \"\xC3\xB8\"", E::utf8, false, "x = \"\xF8\""},
      {"a mark alone", kMark8, E::utf8WithMark, false, ""},
      {"a mark before ASCII", kMark8 + "Dim a", E::utf8WithMark, false, "Dim a"},
      {"a character beyond Windows-1252", "' \xC3\xA9 \xE4\xB8\xAD", E::utf8, true,
       "' \xC3\xA9 \xE4\xB8\xAD"},
      {"the same after a mark", kMark8 + "\xC3\xA9 \xE4\xB8\xAD", E::utf8WithMark, true,
       "\xC3\xA9 \xE4\xB8\xAD"},
      {"a sequence cut short at the end", "caf\xC3", E::windows1252, false, "caf\xC3"},
      {"cut short after a mark", kMark8 + "caf\xC3\xA9\xC3", E::windows1252, false,
       kMark8 + "caf\xC3\xA9\xC3"},
      {"beyond Windows-1252, then not UTF-8", "\xE4\xB8\xAD \xE9", E::windows1252, false,
       "\xE4\xB8\xAD \xE9"},
      {"an overlong slash", "\xC0\xAF", E::windows1252, false, "\xC0\xAF"},
      {"an overlong three-byte form", "\xE0\x80\xAF", E::windows1252, false, "\xE0\x80\xAF"},
      {"a surrogate", "\xED\xA0\x80", E::windows1252, false, "\xED\xA0\x80"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", E::windows1252, false, "\xF4\x90\x80\x80"},
      {"a lone continuation byte", "a\x80z", E::windows1252, false, "a\x80z"},
      {"UTF-16 LE", utf16LE(u"a\u00E9\u20AC\r\n"), E::utf16LE, false, "a\xE9\x80\r\n"},
      {"UTF-16 BE", kMarkBE + std::string("\0a\0\xE9\x20\xAC", 6), E::utf16BE, false, "a\xE9\x80"},
      {"UTF-16 mark alone", kMarkLE, E::utf16LE, false, ""},
      {"UTF-16 beyond Windows-1252", utf16LE(u"a\u00E9\u4E2D\r\n"), E::utf16LE, true,
       "a\xC3\xA9\xE4\xB8\xAD\r\n"},
      {"UTF-16 with an odd byte count", utf16LE(u"a") + "b", E::utf16LE, true, "a\xF4\x90\x81\xA2"},
      {"UTF-16 with lone surrogates",
       utf16LE(u"a\xDC00\xD800"
               u"b\xD800"),
       E::utf16LE, true,
       "a\xED\xB0\x80\xED\xA0\x80"
       "b\xED\xA0\x80"},
      {"UTF-16 with a surrogate pair", kMarkBE + std::string("\xD8\x3D\xDE\x00", 4), E::utf16BE,
       true, "\xF0\x9F\x98\x80"},
  };
  for (const Case& c : cases) {
    const Decoded d = decode(c.bytes);
    EXPECT_EQ(std::tuple(std::string(encodingName(d.format.encoding)), d.format.heldAsUtf8, d.text,
                         writtenBack(d)),
              std::tuple(encodingName(c.encoding), c.held, c.text, c.bytes))
        << c.what;
  }
}

// A failure far into a document: what was converted before it is put back.
TEST(TextEncoding, AFailureLateInALongDocumentLosesNothing) {
  std::string body;
  for (int i = 0; i < 5000; ++i) body += "' caf\xC3\xA9 na\xC3\xAFve \xE2\x80\x94 line\r\n";
  std::u16string units;
  for (int i = 0; i < 3000; ++i) units += u"' caf\u00E9 \u2014 line\r\n";
  const std::pair<std::string, E> cases[] = {{kMark8 + body + "\xE4\xB8\xAD", E::utf8WithMark},
                                             {body + "\xE4\xB8\xAD", E::utf8},
                                             {kMark8 + body + "\xC3", E::windows1252},
                                             {body + "\xF8", E::windows1252},
                                             {utf16LE(units + u"\xD800"), E::utf16LE}};
  for (const auto& [bytes, encoding] : cases) {
    const Decoded d = decode(bytes);
    EXPECT_EQ(std::tuple(d.format.encoding, d.format.heldAsUtf8, writtenBack(d)),
              std::tuple(encoding, encoding != E::windows1252, bytes));
  }
}

// Each character alone between two letters, in UTF-8 and in UTF-16.
TEST(TextEncoding, EveryCharacterConvertsExactlyWhenItFits) {
  int fitted = 0;
  for (char32_t c = 0x80; c <= 0x10FFFF; c += c < 0x3000 ? 1 : 97) {
    const int byte = platform::unicodeToWindows1252(c);
    for (const bool wide : {false, true}) {
      // UTF-8 has no surrogates; UTF-16 carries lone ones, and units only up to FFFF.
      if (wide ? c >= 0x10000 : c >= 0xD800 && c < 0xE000) continue;
      const std::string bytes = wide ? utf16LE(std::u16string{u'a', static_cast<char16_t>(c), u'z'})
                                     : "a" + utf8(c) + "z";
      const Decoded d = decode(bytes);
      ASSERT_EQ(d.format.heldAsUtf8, byte < 0)
          << std::hex << static_cast<unsigned>(c) << (wide ? " in UTF-16" : "");
      if (byte >= 0 || !wide) {  // held UTF-16 is UTF-8 text, which the write back checks
        ASSERT_EQ(d.text, byte < 0 ? bytes : std::string({'a', static_cast<char>(byte), 'z'}));
      }
      ASSERT_EQ(writtenBack(d), bytes);
      fitted += byte >= 0 && !wide;
    }
  }
  EXPECT_EQ(fitted, 128);  // 0x80-0xFF all have one
}

// The break the editor's own splitting would find in every paragraph, or CR LF.
LineBreak referenceBreak(std::string_view t) {
  std::optional<std::string> kind;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] != '\r' && t[i] != '\n') continue;
    std::string brk(1, t[i]);
    if (i + 1 < t.size() && (t[i + 1] == '\r' || t[i + 1] == '\n') && t[i + 1] != t[i])
      brk += t[++i];
    if (kind && *kind != brk) return LineBreak::pbCRLF;
    kind = brk;
  }
  if (!kind || *kind == "\r\n") return LineBreak::pbCRLF;
  return *kind == "\n" ? LineBreak::pbLF : *kind == "\r" ? LineBreak::pbCR : LineBreak::pbLFCR;
}

TEST(TextEncoding, LineBreaksAreKeptWhenAllAreAlike) {
  const std::pair<std::string, LineBreak> cases[] = {
      {"a", LineBreak::pbCRLF},          {"a\nb\n", LineBreak::pbLF},
      {"a\rb", LineBreak::pbCR},         {"a\r\nb", LineBreak::pbCRLF},
      {"a\n\rb\n\r", LineBreak::pbLFCR}, {"a\nb\r\n", LineBreak::pbCRLF},
      {"\r\n\r", LineBreak::pbCRLF},     {"\n\r\n", LineBreak::pbCRLF},
      {"\r\n\r\n", LineBreak::pbCRLF}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(lineBreakOf(text), expected) << text;

  // Long texts go through sixteen bytes at a time: one odd break anywhere counts.
  std::mt19937 rng(17);
  for (int round = 0; round < 3000; ++round) {
    const char* kinds[] = {"\r\n", "\n", "\r", "\n\r"};
    const std::string usual = kinds[rng() % 4];
    std::string text;
    const std::size_t lines = rng() % 80;
    for (std::size_t i = 0; i < lines; ++i) {
      text.append(rng() % 7, 'x');
      text += rng() % 60 == 0 ? kinds[rng() % 4] : usual;
    }
    if (rng() % 2) text += std::string(rng() % 20, 'y');
    ASSERT_EQ(lineBreakOf(text), referenceBreak(text)) << round;
  }
}

// Save writes in pieces of any size; a held sequence cut between two still comes out whole.
TEST(TextEncoding, TheStreamBufferWritesWhatEncodeTextGives) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  const std::string held = "x \xE4\xB8\xAD \xF0\x9F\x98\x80 \xED\xA0\x80 \xC3\xA9\xC3 \xE9 ";
  const std::string text = all + held + std::string(70000, 'x') + held + "\xE4\xB8\xF4\x90\x81\xA2";
  std::mt19937 rng(5);
  for (E e : {E::utf8, E::utf8WithMark, E::utf16LE, E::utf16BE}) {
    for (bool asUtf8 : {false, true}) {
      const TextFormat format{e, asUtf8};
      std::ostringstream out;
      EncodingStreamBuffer buffer(out, format);
      std::ostream encoded(&buffer);
      for (std::size_t at = 0; at < text.size();) {
        const std::size_t n =
            std::min<std::size_t>(text.size() - at, rng() % 3 ? rng() % 6 : rng() % 100000);
        if (n == 1)
          encoded.put(text[at]);
        else
          encoded.write(text.data() + at, static_cast<std::streamsize>(n));
        at += n;
      }
      buffer.finish();
      EXPECT_EQ(out.str(), encodeText(text, format)) << encodingName(e) << asUtf8;

      std::ostringstream empty;
      EncodingStreamBuffer nothing(empty, format);
      nothing.finish();
      EXPECT_EQ(empty.str(), encodeText("", format));
    }
  }
  // Text typed into a held page that is not UTF-8 is written as the characters it shows.
  EXPECT_EQ(encodeText("\xE9\xE4\xB8\xAD\x80", {E::utf8, true}),
            "\xC3\xA9\xE4\xB8\xAD\xE2\x82\xAC");
  EXPECT_EQ(encodeText("\xE9\xE4\xB8\xAD", {E::utf16BE, true}),
            kMarkBE + std::string("\0\xE9\x4E\x2D", 4));
}

}  // namespace
}  // namespace quillon::pages

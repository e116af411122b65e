#include "language/key_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <sstream>
#include <system_error>

#include "language/compare_no_case.h"
#include "platform/regular_file.h"
#include "platform/replace_file.h"

namespace quillon::language {

namespace {

enum Tag : unsigned char {
  kNull = 0,
  kList = 1,
  kInt8 = 2,
  kInt16 = 3,
  kInt32 = 4,
  kString = 6,
  kFalse = 8,
  kTrue = 9,
  kLString = 12,
};

class Reader {
public:
  explicit Reader(std::istream& in) : in_(in) {}

  unsigned char peek() {
    if (pos_ == end_) fill();
    return buffer_[pos_];
  }
  unsigned char byte() {
    const unsigned char b = peek();
    ++pos_;
    return b;
  }
  std::uint32_t littleEndian(int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(byte()) << (8 * i);
    return v;
  }

  void expect(unsigned char tag) {
    if (byte() != tag) throw KeyFileError(kInvalidPropertyValue);
  }
  // True and consumed when the list-end byte comes next.
  bool atListEnd() {
    if (peek() != kNull) return false;
    ++pos_;
    return true;
  }

  std::int32_t integer() {
    switch (byte()) {
      case kInt8: return static_cast<std::int8_t>(byte());
      case kInt16: return static_cast<std::int16_t>(littleEndian(2));
      case kInt32: return static_cast<std::int32_t>(littleEndian(4));
      default: throw KeyFileError(kInvalidPropertyValue);
    }
  }

  std::string string() {
    std::uint32_t length = 0;
    switch (byte()) {
      case kString: length = byte(); break;
      case kLString: length = littleEndian(4); break;
      default: throw KeyFileError(kInvalidPropertyValue);
    }
    std::string text;
    // Copy buffer by buffer: the declared length is not trusted for an allocation.
    while (length > 0) {
      if (pos_ == end_) fill();
      const std::size_t n = std::min<std::size_t>(length, end_ - pos_);
      text.append(reinterpret_cast<const char*>(buffer_.data() + pos_), n);
      pos_ += n;
      length -= static_cast<std::uint32_t>(n);
    }
    return text;
  }

  bool boolean() { return byte() == kTrue; }

  editor::KeywordInfo info() {
    editor::KeywordInfo i;
    i.options = static_cast<std::uint8_t>(integer());
    i.style = static_cast<std::uint8_t>(integer());
    i.contextNum = static_cast<std::int16_t>(integer());
    i.cursor = static_cast<std::int16_t>(integer());
    i.backgnd = integer();
    i.foregnd = integer();
    return i;
  }

private:
  void fill() {
    in_.read(reinterpret_cast<char*>(buffer_.data()), static_cast<std::streamsize>(buffer_.size()));
    const auto got = in_.gcount();
    if (got <= 0) throw KeyFileError(kStreamReadError);
    pos_ = 0;
    end_ = static_cast<std::size_t>(got);
  }

  std::istream& in_;
  std::array<unsigned char, 1024> buffer_{};
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

class Writer {
public:
  void byte(unsigned char b) { out_.push_back(static_cast<char>(b)); }
  void littleEndian(std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) byte(static_cast<unsigned char>(v >> (8 * i)));
  }
  void integer(std::int32_t v) {
    if (v >= -128 && v <= 127) {
      byte(kInt8);
      littleEndian(static_cast<std::uint32_t>(v), 1);
    } else if (v >= -32768 && v <= 32767) {
      byte(kInt16);
      littleEndian(static_cast<std::uint32_t>(v), 2);
    } else {
      byte(kInt32);
      littleEndian(static_cast<std::uint32_t>(v), 4);
    }
  }
  void string(const std::string& s) {
    if (s.size() <= 255) {
      byte(kString);
      byte(static_cast<unsigned char>(s.size()));
    } else {
      byte(kLString);
      littleEndian(static_cast<std::uint32_t>(s.size()), 4);
    }
    out_ += s;
  }
  void info(const editor::KeywordInfo& i) {
    integer(i.options);  // as 0..255: a set top bit is not a negative number
    integer(i.style);
    integer(i.contextNum);
    integer(i.cursor);
    integer(i.backgnd);
    integer(i.foregnd);
  }
  std::string take() { return std::move(out_); }

private:
  std::string out_;
};

}  // namespace

KeyFileContents readKeyFile(std::istream& in) {
  Reader r(in);
  KeyFileContents c;
  r.expect(kList);
  while (!r.atListEnd()) {
    KeyFileContents::Keyword k;
    k.text = r.string();
    k.info = r.info();
    c.keywords.push_back(std::move(k));
  }
  r.expect(kList);
  while (!r.atListEnd()) {
    KeyFileContents::StartStop s;
    s.startKey = r.string();
    s.stopKey = r.string();
    s.info = r.info();
    s.parEnd = r.boolean();
    c.startStops.push_back(std::move(s));
  }
  return c;
}

void applyKeyFile(const KeyFileContents& contents, editor::KeywordList& keywords,
                  editor::StartStopKeyList& startStops) {
  keywords.beginUpdate();
  keywords.clear();
  for (const auto& k : contents.keywords) keywords.add(k.text, k.info);
  keywords.endUpdate();

  startStops.beginUpdate();
  startStops.clear();
  for (const auto& s : contents.startStops) startStops.add(s.startKey, s.stopKey, s.parEnd, s.info);
  startStops.endUpdate();
}

std::string encodeKeyFile(const editor::KeywordList& keywords,
                          const editor::StartStopKeyList& startStops) {
  Writer w;
  w.byte(kList);
  for (int i = 0; i < keywords.count(); ++i) {
    w.string(keywords.text(i));
    w.info(keywords.info(i));
  }
  w.byte(kNull);
  w.byte(kList);
  for (int i = 0; i < startStops.count(); ++i) {
    const auto& s = startStops.item(i);
    w.string(s.startKey);
    w.string(s.stopKey);
    w.info(s.info);
    w.byte(s.parEnd ? kTrue : kFalse);
  }
  w.byte(kNull);
  return w.take();
}

bool loadKeyFile(std::filesystem::path& keyFile, const std::filesystem::path& defaultKeyFile,
                 editor::KeywordList& keywords, editor::StartStopKeyList& startStops,
                 platform::Ui& ui) {
  std::error_code ec;
  if (!std::filesystem::exists(keyFile, ec)) {
    ui.showMessage("Can Not Locate KeyFile:\n" + keyFile.string() + "\n\nLOADING DEFAULT.....");
    keyFile = defaultKeyFile;
    // Without a default file there is nothing to load; the lists keep what they hold.
    if (!std::filesystem::exists(keyFile, ec)) return false;
  }
  const std::optional<std::string> bytes = platform::readRegularFile(keyFile, kMaxKeyFileSize, ec);
  if (!bytes) {
    ui.showMessage("Cannot open file " + keyFile.string());
    return false;
  }
  try {
    std::istringstream in(*bytes);
    const KeyFileContents contents = readKeyFile(in);
    applyKeyFile(contents, keywords, startStops);
  } catch (const KeyFileError& e) {
    ui.showMessage(e.what());
    return false;
  }
  return true;
}

bool saveKeyFile(const std::filesystem::path& keyFile, const editor::KeywordList& keywords,
                 const editor::StartStopKeyList& startStops, platform::Ui& ui) {
  if (!platform::replaceFile(keyFile, encodeKeyFile(keywords, startStops))) {
    ui.showMessage("Cannot create file " + keyFile.string());
    return false;
  }
  return true;
}

std::vector<std::string> buildKeyList(const editor::KeywordList& keywords) {
  std::vector<std::string> list;
  list.reserve(static_cast<std::size_t>(keywords.count()));
  for (int i = 0; i < keywords.count(); ++i) list.push_back(keywords.text(i));
  std::stable_sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
    return compareNoCase(a, b) > 0;
  });
  return list;
}

}  // namespace quillon::language

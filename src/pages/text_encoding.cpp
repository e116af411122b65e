#include "pages/text_encoding.h"

#include <algorithm>
#include <cstring>

#include "editor/code_memo.h"
#include "platform/windows1252.h"

namespace quillon::pages {

namespace {

using editor::LineBreak;
using Bytes = unsigned char;

constexpr Bytes kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
constexpr Bytes kUtf16LEMark[] = {0xFF, 0xFE};
constexpr Bytes kUtf16BEMark[] = {0xFE, 0xFF};

std::string_view markOf(TextEncoding encoding) {
  auto view = [](const auto& mark) {
    return std::string_view(reinterpret_cast<const char*>(mark), sizeof mark);
  };
  switch (encoding) {
    case TextEncoding::utf8WithMark: return view(kUtf8Mark);
    case TextEncoding::utf16LE: return view(kUtf16LEMark);
    case TextEncoding::utf16BE: return view(kUtf16BEMark);
    default: return {};
  }
}

bool startsWith(const Bytes* p, std::size_t n, TextEncoding encoding) {
  const std::string_view mark = markOf(encoding);
  return n >= mark.size() && std::memcmp(p, mark.data(), mark.size()) == 0;
}

bool isUtf16(TextEncoding e) { return e == TextEncoding::utf16LE || e == TextEncoding::utf16BE; }

// ----- UTF-8 -------------------------------------------------------------------------------
// A byte's class, and the state after it: the table of well-formed sequences, in which the
// second byte's range depends on the first (E0 A0-BF, ED 80-9F, F0 90-BF, F4 80-8F).

enum ByteClass : Bytes {
  cAscii,
  c80,
  c90,
  cA0,
  cBad,
  cLead2,
  cE0,
  cLead3,
  cED,
  cF0,
  cLead4,
  cF4,
  kClasses
};
enum State : Bytes {
  sDone,
  sBad,
  sTail1,
  sTail2,
  sTail2E0,
  sTail2ED,
  sTail3,
  sTail3F0,
  sTail3F4,
  kStates
};
using Transitions = std::array<std::array<Bytes, kClasses>, kStates>;

constexpr auto kClassOf = [] {
  std::array<Bytes, 256> t{};
  for (int b = 0; b < 256; ++b)
    t[b] = b < 0x80    ? cAscii
           : b < 0x90  ? c80
           : b < 0xA0  ? c90
           : b < 0xC0  ? cA0
           : b < 0xC2  ? cBad
           : b < 0xE0  ? cLead2
           : b == 0xE0 ? cE0
           : b == 0xED ? cED
           : b < 0xF0  ? cLead3
           : b == 0xF0 ? cF0
           : b < 0xF4  ? cLead4
           : b == 0xF4 ? cF4
                       : cBad;
  return t;
}();

constexpr Transitions kWellFormed = [] {
  Transitions t{};
  for (auto& row : t) row.fill(sBad);
  t[sDone][cAscii] = sDone;
  t[sDone][cLead2] = sTail1;
  t[sDone][cE0] = sTail2E0;
  t[sDone][cLead3] = sTail2;
  t[sDone][cED] = sTail2ED;
  t[sDone][cF0] = sTail3F0;
  t[sDone][cLead4] = sTail3;
  t[sDone][cF4] = sTail3F4;
  for (Bytes c : {c80, c90, cA0}) {
    t[sTail1][c] = sDone;
    t[sTail2][c] = sTail1;
    t[sTail3][c] = sTail2;
  }
  t[sTail2E0][cA0] = sTail1;
  t[sTail2ED][c80] = t[sTail2ED][c90] = sTail1;
  t[sTail3F0][c90] = t[sTail3F0][cA0] = sTail2;
  t[sTail3F4][c80] = sTail2;
  return t;
}();

// The same with the surrogates, which a UTF-16 document held as UTF-8 may carry alone.
constexpr Transitions kWithSurrogates = [] {
  Transitions t = kWellFormed;
  t[sTail2ED][cA0] = sTail1;
  return t;
}();

// The bits of the character a lead byte carries, and how long its sequence is.
constexpr std::array<Bytes, kClasses> kLeadBits = {0x7F, 0,    0,    0,    0,    0x1F,
                                                   0x0F, 0x0F, 0x0F, 0x07, 0x07, 0x07};
constexpr std::array<Bytes, kClasses> kLength = {1, 0, 0, 0, 0, 2, 3, 3, 3, 4, 4, 4};

constexpr char32_t kInvalid = 0xFFFFFFFF;

// The character of the sequence at p[i], and i moved past it; kInvalid when it is none.
char32_t nextCharacter(const Bytes* p, std::size_t n, std::size_t& i, const Transitions& next) {
  Bytes state = sDone;
  char32_t c = 0;
  do {
    if (i >= n) return kInvalid;
    const Bytes b = p[i++];
    const Bytes cls = kClassOf[b];
    c = state == sDone ? (b & kLeadBits[cls]) : (c << 6) | (b & 0x3F);
    state = next[state][cls];
    if (state == sBad) return kInvalid;
  } while (state != sDone);
  return c;
}

// How many bytes from p are ASCII.
std::size_t asciiRun(const Bytes* p, std::size_t n) {
  std::size_t i = 0;
  for (std::uint64_t w; i + 8 <= n; i += 8) {
    std::memcpy(&w, p + i, 8);
    if (w & 0x8080808080808080u) break;
  }
  while (i < n && p[i] < 0x80) ++i;
  return i;
}

bool wellFormedUtf8(const Bytes* p, std::size_t n, std::size_t i) {
  while (i < n) {
    i += asciiRun(p + i, n - i);
    if (i < n && nextCharacter(p, n, i, kWellFormed) == kInvalid) return false;
  }
  return true;
}

std::size_t putUtf8(char32_t c, Bytes* out) {
  if (c < 0x80) {
    out[0] = static_cast<Bytes>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<Bytes>(0xC0 | (c >> 6));
    out[1] = static_cast<Bytes>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<Bytes>(0xE0 | (c >> 12));
    out[1] = static_cast<Bytes>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<Bytes>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<Bytes>(0xF0 | (c >> 18));
  out[1] = static_cast<Bytes>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<Bytes>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<Bytes>(0x80 | (c & 0x3F));
  return 4;
}

// The odd last byte of a UTF-16 file, as a value past U+10FFFF that no character has.
constexpr char32_t kStrayBase = 0x110000;

// Each Windows-1252 byte as UTF-8.
struct Utf8Form {
  Bytes length = 0;
  std::array<Bytes, 3> bytes{};
};

const std::array<Utf8Form, 256>& utf8Forms() {
  static const std::array<Utf8Form, 256> table = [] {
    std::array<Utf8Form, 256> t{};
    for (int b = 0; b < 256; ++b) {
      Utf8Form& f = t[static_cast<std::size_t>(b)];
      f.length = static_cast<Bytes>(
          putUtf8(platform::windows1252ToUnicode(static_cast<Bytes>(b)), f.bytes.data()));
    }
    return t;
  }();
  return table;
}

enum class Outcome { converted, notUnicode, beyondWindows1252 };

struct Converted {
  Outcome outcome;
  std::size_t read, written;  // where each side stopped
};

// Converts the UTF-8 at p[from, n) into Windows-1252 written from p[to] (to <= from) until the
// end or the first sequence that fails.
Converted utf8ToWindows1252(Bytes* p, std::size_t n, std::size_t from, std::size_t to) {
  std::size_t r = from, w = to;
  while (r < n) {
    const std::size_t run = asciiRun(p + r, n - r);
    if (run > 0) {
      if (w != r) std::memmove(p + w, p + r, run);
      r += run;
      w += run;
      continue;
    }
    std::size_t next = r;
    const char32_t c = nextCharacter(p, n, next, kWellFormed);
    const int byte = c == kInvalid ? -1 : platform::unicodeToWindows1252(c);
    if (byte < 0) return {c == kInvalid ? Outcome::notUnicode : Outcome::beyondWindows1252, r, w};
    p[w++] = static_cast<Bytes>(byte);
    r = next;
  }
  return {Outcome::converted, r, w};
}

// Undoes a conversion that stopped: the bytes converted into p[to, done.written) become UTF-8
// again, ending `shift` bytes before where they were read. Encoded from the back, no byte
// lands on one still to be read.
void backToUtf8(Bytes* p, std::size_t to, Converted done, std::size_t shift) {
  const std::array<Utf8Form, 256>& forms = utf8Forms();
  std::size_t r = done.read, w = done.written;
  while (w > to) {
    const Utf8Form& f = forms[p[--w]];
    r -= f.length;
    std::memcpy(p + r - shift, f.bytes.data(), f.length);
  }
}

// ----- UTF-16 ------------------------------------------------------------------------------

struct Utf16 {
  const Bytes* p;
  std::size_t n;
  int hi, lo;
  std::size_t units() const { return (n - 2) / 2; }
  char16_t unit(std::size_t i) const {
    return static_cast<char16_t>(p[2 + 2 * i + hi] << 8 | p[2 + 2 * i + lo]);
  }
};

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u < 0xDC00; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u < 0xE000; }

// Calls put(character) for every character from unit `from`, a lone surrogate as its value,
// then put(kStrayBase + byte) for an odd last byte.
template <class Put>
void forEachCharacter(const Utf16& t, std::size_t from, Put put) {
  const std::size_t units = t.units();
  for (std::size_t i = from; i < units; ++i) {
    const char16_t u = t.unit(i);
    if (isHighSurrogate(u) && i + 1 < units && isLowSurrogate(t.unit(i + 1))) {
      put(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (t.unit(++i) - 0xDC00));
    } else {
      put(u);
    }
  }
  if ((t.n - 2) % 2 != 0) put(kStrayBase + t.p[t.n - 1]);
}

std::size_t putHeld(char32_t c, Bytes* out) {
  if (c < kStrayBase) return putUtf8(c, out);
  const Bytes stray = static_cast<Bytes>(c - kStrayBase);
  const Bytes escape[] = {0xF4, 0x90, static_cast<Bytes>(0x80 | (stray >> 6)),
                          static_cast<Bytes>(0x80 | (stray & 0x3F))};
  std::memcpy(out, escape, sizeof escape);
  return sizeof escape;
}

// Converts UTF-16 into Windows-1252 in place; when a character does not fit, the text becomes
// its UTF-8 form in a new buffer: the bytes converted so far, then the rest.
DecodedText decodeUtf16(std::unique_ptr<char[]>& buffer, std::size_t n, bool bigEndian) {
  DecodedText d;
  d.format.encoding = bigEndian ? TextEncoding::utf16BE : TextEncoding::utf16LE;
  auto* p = reinterpret_cast<Bytes*>(buffer.get());
  const Utf16 t{p, n, bigEndian ? 0 : 1, bigEndian ? 1 : 0};
  std::size_t w = 0;
  if ((n - 2) % 2 == 0) {
    // A byte written at w never reaches a unit still to be read, at 2 + 2w.
    for (const std::size_t units = t.units(); w < units; ++w) {
      const int byte = platform::unicodeToWindows1252(t.unit(w));  // a surrogate never fits
      if (byte < 0) break;
      p[w] = static_cast<Bytes>(byte);
    }
    if (w == t.units()) {
      d.size = w;
      return d;
    }
  }
  const std::array<Utf8Form, 256>& forms = utf8Forms();
  std::size_t size = 0;
  for (std::size_t i = 0; i < w; ++i) size += forms[p[i]].length;
  Bytes scratch[4];
  forEachCharacter(t, w, [&](char32_t c) { size += putHeld(c, scratch); });
  auto held = std::make_unique_for_overwrite<char[]>(size + 1);
  auto* out = reinterpret_cast<Bytes*>(held.get());
  for (std::size_t i = 0; i < w; ++i) {
    std::memcpy(out, forms[p[i]].bytes.data(), forms[p[i]].length);
    out += forms[p[i]].length;
  }
  forEachCharacter(t, w, [&](char32_t c) { out += putHeld(c, out); });
  buffer = std::move(held);
  d.size = size;
  d.format.heldAsUtf8 = true;
  return d;
}

// ----- Survey ------------------------------------------------------------------------------
// One pass that finds any byte from 0x80 up and counts the breaks, sixteen bytes at a time.

struct Survey {
  bool high = false;
  std::size_t cr = 0, lf = 0, crlf = 0, lfcr = 0;
};

typedef Bytes Lanes __attribute__((vector_size(16)));

Lanes load(const Bytes* p) {
  Lanes v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

Lanes splat(Bytes b) {
  Lanes v;
  std::memset(&v, b, sizeof v);
  return v;
}

std::size_t laneSum(Lanes v) {
  std::size_t sum = 0;
  for (int i = 0; i < 16; ++i) sum += v[i];
  return sum;
}

Survey survey(const Bytes* p, std::size_t n) {
  Survey s;
  const Lanes cr = splat('\r'), lf = splat('\n');
  Lanes high{};
  std::size_t i = 0;
  // Each lane counts at most 255 before it is added up; every block reads one byte past itself.
  while (i + 17 <= n) {
    Lanes crs{}, lfs{}, crlfs{}, lfcrs{};
    const std::size_t rounds = std::min<std::size_t>(255, (n - 1 - i) / 16);
    for (std::size_t r = 0; r < rounds; ++r, i += 16) {
      const Lanes x = load(p + i), y = load(p + i + 1);
      const Lanes xcr = reinterpret_cast<Lanes>(x == cr), xlf = reinterpret_cast<Lanes>(x == lf);
      const Lanes ycr = reinterpret_cast<Lanes>(y == cr), ylf = reinterpret_cast<Lanes>(y == lf);
      crs -= xcr;
      lfs -= xlf;
      crlfs -= xcr & ylf;
      lfcrs -= xlf & ycr;
      high |= x;
    }
    s.cr += laneSum(crs);
    s.lf += laneSum(lfs);
    s.crlf += laneSum(crlfs);
    s.lfcr += laneSum(lfcrs);
  }
  Bytes any = 0;
  for (int k = 0; k < 16; ++k) any |= high[k];
  for (; i < n; ++i) {
    const Bytes x = p[i], y = i + 1 < n ? p[i + 1] : 0;
    any |= x;
    s.cr += x == '\r';
    s.lf += x == '\n';
    s.crlf += x == '\r' && y == '\n';
    s.lfcr += x == '\n' && y == '\r';
  }
  s.high = (any & 0x80) != 0;
  return s;
}

// Every CR paired with the LF after it and no LF left over means every break is CR LF, and
// the other way round for LF CR.
LineBreak lineBreakOf(const Survey& s) {
  if (s.cr == 0 && s.lf > 0) return LineBreak::pbLF;
  if (s.lf == 0 && s.cr > 0) return LineBreak::pbCR;
  if (s.cr == s.lf && s.crlf == s.cr) return LineBreak::pbCRLF;
  if (s.cr == s.lf && s.lfcr == s.cr) return LineBreak::pbLFCR;
  return LineBreak::pbCRLF;  // none, or mixed
}

// ----- Writing -----------------------------------------------------------------------------

// Room for what one byte of text may become, a held-over sequence included.
constexpr std::size_t kMostPerByte = 4;

class Writer {
public:
  explicit Writer(const TextFormat& format, Bytes* out)
      : raw_(format.encoding == TextEncoding::windows1252),
        utf16_(isUtf16(format.encoding)),
        big_(format.encoding == TextEncoding::utf16BE),
        held_(format.heldAsUtf8),
        forms_(utf8Forms()),
        out_(out) {}

  std::size_t written(const Bytes* start) const { return static_cast<std::size_t>(out_ - start); }

  // Writes in[0, n); returns how many bytes at the end start a sequence that only more text
  // can complete (never when `last`).
  std::size_t write(const Bytes* in, std::size_t n, bool last) {
    if (raw_) {
      if (n > 0) std::memcpy(out_, in, n);  // an empty text may have no bytes at all
      out_ += n;
      return 0;
    }
    std::size_t i = 0;
    while (i < n) {
      const std::size_t run = asciiRun(in + i, n - i);
      if (utf16_) {
        for (std::size_t k = 0; k < run; ++k) unit(in[i + k]);
      } else {
        std::memcpy(out_, in + i, run);
        out_ += run;
      }
      i += run;
      if (i == n) break;
      if (!held_) {
        shown(in[i++]);
        continue;
      }
      const std::size_t length = std::max<std::size_t>(1, kLength[kClassOf[in[i]]]);
      if (i + length > n && !last) return n - i;
      i += heldSequence(in + i, std::min(length, n - i));
    }
    return 0;
  }

private:
  // One sequence of a held text at p[0, length): a character, the stray byte of a UTF-16 file,
  // or else one byte that stands for the Windows-1252 character it shows. Returns its length.
  std::size_t heldSequence(const Bytes* p, std::size_t length) {
    if (utf16_ && length == 4 && p[0] == 0xF4 && p[1] == 0x90 && (p[2] & 0xFC) == 0x80 &&
        (p[3] & 0xC0) == 0x80) {
      *out_++ = static_cast<Bytes>((p[2] & 0x03) << 6 | (p[3] & 0x3F));
      return 4;
    }
    std::size_t next = 0;
    const char32_t c = nextCharacter(p, length, next, utf16_ ? kWithSurrogates : kWellFormed);
    if (c == kInvalid) {
      shown(p[0]);
      return 1;
    }
    if (utf16_) {
      character(c);
    } else {
      std::memcpy(out_, p, next);
      out_ += next;
    }
    return next;
  }

  // The Windows-1252 character a byte shows.
  void shown(Bytes b) {
    if (utf16_) {
      unit(platform::windows1252ToUnicode(b));
    } else {
      std::memcpy(out_, forms_[b].bytes.data(), forms_[b].length);
      out_ += forms_[b].length;
    }
  }

  void character(char32_t c) {
    if (c >= 0x10000) {
      unit(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      unit(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      unit(static_cast<char16_t>(c));
    }
  }

  void unit(char16_t u) {
    *out_++ = static_cast<Bytes>(big_ ? u >> 8 : u & 0xFF);
    *out_++ = static_cast<Bytes>(big_ ? u & 0xFF : u >> 8);
  }

  bool raw_, utf16_, big_, held_;
  const std::array<Utf8Form, 256>& forms_;
  Bytes* out_;
};

}  // namespace

std::int64_t firstBrokenParagraph(const editor::CodeMemo& editor) {
  for (std::int64_t i = 0; i < editor.paragraphCount(); ++i) {
    const std::string_view t = editor.paragraphText(i);
    if (!wellFormedUtf8(reinterpret_cast<const Bytes*>(t.data()), t.size(), 0)) return i;
  }
  return -1;
}

const char* encodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::windows1252: return "Windows-1252";
    case TextEncoding::utf8:
    case TextEncoding::utf8WithMark: return "UTF-8";
    case TextEncoding::utf16LE: return "UTF-16 LE";
    case TextEncoding::utf16BE: return "UTF-16 BE";
  }
  return "";
}

DecodedText decodeText(std::unique_ptr<char[]>& buffer, std::size_t size) {
  auto* p = reinterpret_cast<Bytes*>(buffer.get());
  DecodedText d;
  if (startsWith(p, size, TextEncoding::utf16LE) || startsWith(p, size, TextEncoding::utf16BE)) {
    d = decodeUtf16(buffer, size, p[0] == kUtf16BEMark[0]);
    d.format.lineBreak = lineBreakOf(survey(reinterpret_cast<const Bytes*>(buffer.get()), d.size));
    return d;
  }
  d.size = size;
  TextFormat& f = d.format;
  if (startsWith(p, size, TextEncoding::utf8WithMark)) {
    constexpr std::size_t kMark = sizeof kUtf8Mark;
    // Breaks are ASCII: they stand the same in the bytes and in any text made of them.
    f.lineBreak = lineBreakOf(survey(p + kMark, size - kMark));
    const Converted done = utf8ToWindows1252(p, size, kMark, 0);
    if (done.outcome == Outcome::converted) {
      f.encoding = TextEncoding::utf8WithMark;
      d.size = done.written;
    } else if (done.outcome == Outcome::beyondWindows1252 && wellFormedUtf8(p, size, done.read)) {
      f.encoding = TextEncoding::utf8WithMark;
      f.heldAsUtf8 = true;
      std::memmove(p + done.read - kMark, p + done.read, size - done.read);
      backToUtf8(p, 0, done, kMark);
      d.size = size - kMark;
    } else {
      backToUtf8(p, 0, done, 0);
      std::memcpy(p, kUtf8Mark, kMark);
    }
    return d;
  }
  const Survey s = survey(p, size);
  f.lineBreak = lineBreakOf(s);
  if (!s.high) return d;
  const std::size_t first = asciiRun(p, size);
  const Converted done = utf8ToWindows1252(p, size, first, first);
  if (done.outcome == Outcome::converted) {
    f.encoding = TextEncoding::utf8;
    d.size = done.written;
    return d;
  }
  backToUtf8(p, first, done, 0);
  // A character beyond Windows-1252 stopped the conversion; the rest decides whether this is
  // UTF-8 at all.
  if (done.outcome == Outcome::beyondWindows1252 && wellFormedUtf8(p, size, done.read)) {
    f.encoding = TextEncoding::utf8;
    f.heldAsUtf8 = true;
  }
  return d;
}

LineBreak lineBreakOf(std::string_view text) {
  return lineBreakOf(survey(reinterpret_cast<const Bytes*>(text.data()), text.size()));
}

std::string encodeText(std::string_view text, const TextFormat& format) {
  const std::string_view mark = markOf(format.encoding);
  std::string out(mark.size() + kMostPerByte * text.size(), '\0');
  out.replace(0, mark.size(), mark);
  auto* start = reinterpret_cast<Bytes*>(out.data() + mark.size());
  Writer writer(format, start);
  writer.write(reinterpret_cast<const Bytes*>(text.data()), text.size(), true);
  out.resize(mark.size() + writer.written(start));
  return out;
}

// ----- EncodingStreamBuffer ----------------------------------------------------------------

namespace {
constexpr std::size_t kPiece = 1 << 16;
}

EncodingStreamBuffer::EncodingStreamBuffer(std::ostream& out, const TextFormat& format)
    : out_(out), format_(format) {
  const std::string_view mark = markOf(format.encoding);
  out_.write(mark.data(), static_cast<std::streamsize>(mark.size()));
}

std::streamsize EncodingStreamBuffer::xsputn(const char* s, std::streamsize n) {
  const auto most = static_cast<std::size_t>(std::min<std::streamsize>(n, kPiece));
  if (encoded_.size() < kMostPerByte * (most + pending_.size()))
    encoded_.resize(kMostPerByte * (most + pending_.size()));
  auto* start = reinterpret_cast<Bytes*>(encoded_.data());
  for (std::streamsize done = 0; done < n;) {
    const auto take = static_cast<std::size_t>(std::min<std::streamsize>(n - done, kPiece));
    const auto* in = reinterpret_cast<const Bytes*>(s + done);
    std::size_t length = take;
    if (pendingSize_ > 0) {
      // The sequence held over goes first, completed by as much of this text as it needs.
      piece_.resize(pendingSize_ + take);
      std::memcpy(piece_.data(), pending_.data(), pendingSize_);
      std::memcpy(piece_.data() + pendingSize_, in, take);
      in = piece_.data();
      length = piece_.size();
    }
    Writer writer(format_, start);
    pendingSize_ = writer.write(in, length, false);
    std::memcpy(pending_.data(), in + length - pendingSize_, pendingSize_);
    if (!out_.write(encoded_.data(), static_cast<std::streamsize>(writer.written(start))))
      return done;
    done += static_cast<std::streamsize>(take);
  }
  return n;
}

void EncodingStreamBuffer::finish() {
  if (encoded_.size() < kMostPerByte * pending_.size())
    encoded_.resize(kMostPerByte * pending_.size());
  auto* start = reinterpret_cast<Bytes*>(encoded_.data());
  Writer writer(format_, start);
  writer.write(pending_.data(), pendingSize_, true);
  pendingSize_ = 0;
  out_.write(encoded_.data(), static_cast<std::streamsize>(writer.written(start)));
}

EncodingStreamBuffer::int_type EncodingStreamBuffer::overflow(int_type ch) {
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  const char c = traits_type::to_char_type(ch);
  return xsputn(&c, 1) == 1 ? ch : traits_type::eof();
}

}  // namespace quillon::pages

#include "editor/case_fold.h"

namespace quillon::editor {

std::array<unsigned char, 256> CaseFolder::identity() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  return t;
}

const CaseFolder& CaseFolder::ascii() {
  static const CaseFolder folder = [] {
    auto t = identity();
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
    return CaseFolder(t);
  }();
  return folder;
}

const CaseFolder& CaseFolder::ansi() {
  // Windows-1252: the Latin-1 lower-case block (except the division sign and y-diaeresis)
  // moves down by 32; s, oe, z with caron and y-diaeresis have capitals elsewhere.
  // Sharp s and micro sign have no single-byte capital and stay.
  static const CaseFolder folder = [] {
    auto t = identity();
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c)
      if (c != 0xF7) t[c] = static_cast<unsigned char>(c - 32);
    t[0x9A] = 0x8A;
    t[0x9C] = 0x8C;
    t[0x9E] = 0x8E;
    t[0xFF] = 0x9F;
    return CaseFolder(t);
  }();
  return folder;
}

const CaseFolder& CaseFolder::forType(UpperCaseType type, const CaseFolder* userDefined) {
  switch (type) {
    case UpperCaseType::muAnsi: return ansi();
    case UpperCaseType::muUserDefined: return userDefined ? *userDefined : ascii();
    case UpperCaseType::muAscii: break;
  }
  return ascii();
}

std::string CaseFolder::upper(std::string_view text) const {
  std::string out(text);
  upperInPlace(out);
  return out;
}

void CaseFolder::upperInPlace(std::string& text) const { upperInPlace(text.data(), text.size()); }

void CaseFolder::upperInPlace(char* data, std::size_t length) const {
  for (std::size_t i = 0; i < length; ++i)
    data[i] = static_cast<char>(table_[static_cast<unsigned char>(data[i])]);
}

}  // namespace quillon::editor

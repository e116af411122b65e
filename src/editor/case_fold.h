#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillon::editor {

// How case-insensitive keys and searches fold case.
enum class UpperCaseType { muAscii, muAnsi, muUserDefined };

// A byte-to-byte upper-casing table. Text is Windows-1252, so folding is a table lookup.
class CaseFolder {
public:
  CaseFolder() = default;  // identity
  explicit CaseFolder(const std::array<unsigned char, 256>& table) : table_(table) {}

  static const CaseFolder& ascii();
  static const CaseFolder& ansi();  // Windows-1252 upper-casing
  // The folder for a type; muUserDefined uses `userDefined` when given, else ASCII.
  static const CaseFolder& forType(UpperCaseType type, const CaseFolder* userDefined = nullptr);

  unsigned char operator()(unsigned char c) const { return table_[c]; }
  char fold(char c) const { return static_cast<char>(table_[static_cast<unsigned char>(c)]); }
  std::string upper(std::string_view text) const;
  void upperInPlace(std::string& text) const;
  void upperInPlace(char* data, std::size_t length) const;

private:
  std::array<unsigned char, 256> table_ = identity();
  static std::array<unsigned char, 256> identity();
};

}  // namespace quillon::editor

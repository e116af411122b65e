#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "language/mapbasic_scanner.h"

// What the outline lists, statement by statement (see mapbasic_scanner.h for statements).
// A keyword counts only where it opens a statement; "rest" is the statement after it.
//
//   INCLUDE    Include <rest>       the rest, quotes and all
//   DEFINE     Define <rest>        the rest up to its first blank
//   TYPE       Type <rest>          the rest when it is one name and no Sub or Function is open
//                                   (Type "ASCII" and Type NATIVE clauses open no statement)
//   DECLARE    Declare <rest>       the rest ("Sub Main", "Function F() As Integer")
//   GLOBAL     Global <rest>        the rest
//   DIM        Dim <rest>           the rest ("a, b As Integer")
//   LABELS     <label>: ...         the label
//   SUBS       Sub <rest>           the rest; opens a routine until End Sub
//   FUNCTIONS  Function <rest>      the rest; opens a routine until End Function
//
// An empty rest lists nothing. Each entry carries the statement's first line.

namespace quillon::language {

enum class OutlineGroup { Include, Define, Type, Declare, Global, Dim, Labels, Subs, Functions };
inline constexpr std::size_t kOutlineGroups = 9;
inline constexpr std::array<std::string_view, kOutlineGroups> kOutlineGroupNames = {
    "INCLUDE", "DEFINE", "TYPE", "DECLARE", "GLOBAL", "DIM", "LABELS", "SUBS", "FUNCTIONS"};

struct OutlineEntry {
  std::string text;       // as the tree shows it: the name, " [", the line, "]"
  std::int64_t line = 0;  // counted from 1
  std::size_t nameLength = 0;
  std::string_view name() const { return std::string_view(text).substr(0, nameLength); }
};

// The tree: a root captioned with the page's tab and the nine groups in the order above.
struct Outline {
  std::string caption;
  std::array<std::vector<OutlineEntry>, kOutlineGroups> groups;

  std::vector<OutlineEntry>& group(OutlineGroup g) { return groups[static_cast<std::size_t>(g)]; }
  const std::vector<OutlineEntry>& group(OutlineGroup g) const {
    return groups[static_cast<std::size_t>(g)];
  }
  std::size_t entryCount() const;
};

// The outline of lines [0, count), in text order within each group.
Outline scanOutline(std::int64_t count, const StatementReader::LineAt& lineAt);

// The order "Sorted" gives: names compared byte by byte upper-cased as Windows-1252; names
// equal so put the lower-case letter first at their first difference; equal names go by line.
// LABELS keeps text order.
bool outlineNameLess(std::string_view a, std::string_view b);
void sortOutline(Outline& outline);

// Seconds with two digits at least, a full stop and three-digit milliseconds: "00.050",
// "75.300".
std::string formatScanSeconds(std::chrono::milliseconds elapsed);

}  // namespace quillon::language

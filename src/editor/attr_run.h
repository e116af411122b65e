#pragma once
#include <array>
#include <cstdint>

namespace quillon::editor {

// A highlighting state: what the innermost open region looks like at a point of the text.
struct AttrState {
  enum : std::uint8_t { kScanned = 0x80, kOpenedByKey = 0x40 };

  std::uint8_t style = 0;     // bits 0-5 Style, bit 7 scanned region, bits 6+7 opened by a key
  std::int8_t level = -1;     // nesting level, -1 outside any region, at most 15
  std::int32_t backgnd = -1;  // colours 0x00BBGGRR, -1 none
  std::int32_t foregnd = -1;
  std::int16_t contextNum = 0;
  std::int16_t cursor = 0;
  // Keys that opened each level: keyword k as k, start-stop key k as k + 32768.
  std::array<std::uint16_t, 16> keyStack{};
  std::uint8_t openLength = 0;
  std::uint8_t closeLength = 0;

  bool operator==(const AttrState&) const = default;
};

// States are interned by the highlighting engine: equal states share one address, so runs
// stay small (a paragraph may hold many) and comparing two states is comparing pointers.
// A reference is valid while the engine that made it lives; null means the empty state.
using AttrStateRef = const AttrState*;

// A run: from `offset` in its paragraph to the next run, the text is in `*state`.
struct AttrRun {
  std::uint32_t offset = 0;
  AttrStateRef state = nullptr;
};

}  // namespace quillon::editor

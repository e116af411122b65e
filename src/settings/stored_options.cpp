#include "settings/stored_options.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/code_memo.h"
#include "settings/setting_codec.h"
#include "settings/settings.h"

namespace quillon::settings {
namespace {

struct Key {
  std::string_view section;
  std::string_view name;
};

// WriteSettings spells the Numbers section and its keys this way; names compare without
// case, so they address the entries read under "Numbers".
constexpr std::string_view kNumbersWriteSection = "NUMBERS";

// The encodings of the settings file, each as a read that may report and a write.
struct Flag {
  using Value = bool;
  static Value read(const IniFile& ini, Key k, Value def, platform::Ui&) {
    return readBool(ini, k.section, k.name, def);
  }
  static void write(IniFile& ini, Key k, Value v) { writeBool(ini, k.section, k.name, v); }
};

struct Integer {
  using Value = std::int32_t;
  static Value read(const IniFile& ini, Key k, Value def, platform::Ui&) {
    return readInteger(ini, k.section, k.name, def);
  }
  static void write(IniFile& ini, Key k, Value v) { writeInteger(ini, k.section, k.name, v); }
};

struct Colour {
  using Value = platform::Color;
  static Value read(const IniFile& ini, Key k, Value def, platform::Ui& ui) {
    std::string error;
    const Value color = readColor(ini, k.section, k.name, def, &error);
    if (!error.empty()) ui.showMessage(error);
    return color;
  }
  static void write(IniFile& ini, Key k, Value v) { writeColor(ini, k.section, k.name, v); }
};

struct Font {
  using Value = platform::FontInfo;
  static Value read(const IniFile& ini, Key k, Value def, platform::Ui& ui) {
    std::string error;
    readFont(ini, k.section, k.name, def, &error);
    if (!error.empty()) ui.showMessage(error);
    return def;
  }
  static void write(IniFile& ini, Key k, const Value& v) { writeFont(ini, k.section, k.name, v); }
};

// The characters that end a number; blanks are dropped on reading.
struct Delimiters {
  using Value = std::string;
  static Value read(const IniFile& ini, Key k, const Value&, platform::Ui&) {
    return normalizeDelimiters(ini.readString(k.section, k.name, ""));
  }
  static void write(IniFile& ini, Key k, const Value& v) { ini.writeString(k.section, k.name, v); }
};

// One row of the table: how the option is read and applied, and collected and written.
struct StoredOption {
  bool numbersSection;
  std::function<void(const IniFile&, const OptionHolders&, platform::Ui&)> apply;
  std::function<void(IniFile&, const OptionHolders&)> store;
};

template <class Codec, class Get, class Set>
StoredOption option(Key read, Key written, typename Codec::Value def, Get get, Set set) {
  return {read.section == kNumbersSection,
          [=](const IniFile& ini, const OptionHolders& h, platform::Ui& ui) {
            set(h, Codec::read(ini, read, def, ui));
          },
          [=](IniFile& ini, const OptionHolders& h) { Codec::write(ini, written, get(h)); }};
}

template <class Codec, class Get, class Set>
StoredOption inSystem(std::string_view key, typename Codec::Value def, Get get, Set set) {
  return option<Codec>({kSystemSection, key}, {kSystemSection, key}, def, get, set);
}

// `written` is the key as WriteSettings spells it.
template <class Codec, class Get, class Set>
StoredOption inNumbers(std::string_view key, std::string_view written, typename Codec::Value def,
                       Get get, Set set) {
  return option<Codec>({kNumbersSection, key}, {kNumbersWriteSection, written}, def, get, set);
}

using H = const OptionHolders&;

// Every stored option, in the order start-up reads them.
const std::vector<StoredOption>& storedOptions() {
  static const std::vector<StoredOption> table = {
      inSystem<Flag>(
          "AutoSaveCompile", false, [](H h) { return h.options.autoSaveCompile(); },
          [](H h, bool v) { h.options.setAutoSaveCompile(v); }),
      inSystem<Flag>(
          "CursorPastEnd", false, [](H h) { return h.options.cursorPastEnd(); },
          [](H h, bool v) { h.options.setCursorPastEnd(v); }),
      inSystem<Integer>(
          "Cursor", 1, [](H h) { return h.editor.caretWidth(); },
          [](H h, int v) { h.editor.setCaretWidth(v); }),
      inSystem<Colour>(
          "BackColor", platform::clInfoBk, [](H h) { return h.options.background(); },
          [](H h, platform::Color v) { h.options.setBackground(v); }),
      inSystem<Font>(
          "AltFont", kDefaultAltFont, [](H h) { return h.options.altFont(); },
          [](H h, const platform::FontInfo& v) { h.options.setAltFont(v); }),
      inSystem<Font>(
          "TextFont", kDefaultTextFont, [](H h) { return h.options.font(); },
          [](H h, const platform::FontInfo& v) { h.options.setFont(v); }),
      inNumbers<Colour>(
          "Color", "color", platform::clBlue, [](H h) { return h.numbers.foreground(); },
          [](H h, platform::Color v) { h.numbers.setForeground(v); }),
      inNumbers<Colour>(
          "BackGround", "background", platform::kNoColor,
          [](H h) { return h.numbers.background(); },
          [](H h, platform::Color v) { h.numbers.setBackground(v); }),
      inNumbers<Integer>(
          "Style", "style", 0, [](H h) { return static_cast<int>(h.numbers.style()); },
          [](H h, int v) { h.numbers.setStyle(static_cast<std::uint8_t>(v)); }),
      // Space and tab always end a number; they are not stored.
      inNumbers<Delimiters>(
          "Delimiters", "delimiters", {}, [](H h) { return h.numbers.separators(); },
          [](H h, const std::string& v) { h.numbers.setSeparators(v + " \t"); }),
      inSystem<Integer>(
          "TabStops", 2, [](H h) { return h.editor.tabStops(); },
          [](H h, int v) { h.editor.setTabStops(v); }),
      inSystem<Colour>(
          "hitext", platform::clBlue, [](H h) { return h.editor.highlightColor(); },
          [](H h, platform::Color v) { h.editor.setHighlightColor(v); }),
      inSystem<Colour>(
          "hiback", platform::clYellow, [](H h) { return h.editor.highlightBackgnd(); },
          [](H h, platform::Color v) { h.editor.setHighlightBackgnd(v); }),
  };
  return table;
}

}  // namespace

std::string normalizeDelimiters(std::string_view text) {
  if (text.empty()) text = kDefaultDelimiters;
  std::string out;
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 33) out += c;
  return out;
}

void applyStoredOptions(const IniFile& ini, const OptionHolders& to, platform::Ui& ui) {
  for (const StoredOption& o : storedOptions()) o.apply(ini, to, ui);
}

void storeOptions(IniFile& ini, const OptionHolders& from, OptionGroup group) {
  for (const StoredOption& o : storedOptions())
    if (group == OptionGroup::All || o.numbersSection) o.store(ini, from);
}

}  // namespace quillon::settings

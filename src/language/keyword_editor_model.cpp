#include "language/keyword_editor_model.h"

#include <algorithm>
#include <charconv>

#include "platform/ascii_text.h"

namespace quillon::language {

namespace {

constexpr std::uint8_t kParEnd = editor::KeywordOption::noCrossParagraphs;

// The record of an empty list's empty row.
constexpr editor::KeywordInfo kFirstRecord{0, 0, 1, 0, 0, 0};

}  // namespace

const std::array<KeywordEditorModel::Pointer, 21> KeywordEditorModel::kPointers{{
    {"crDefault", 0},   {"crArrow", -2},      {"crCross", -3},      {"crIBeam", -4},
    {"crSizeNESW", -6}, {"crSizeNS", -7},     {"crSizeNWSE", -8},   {"crSizeWE", -9},
    {"crUpArrow", -10}, {"crHourGlass", -11}, {"crDrag", -12},      {"crNoDrop", -13},
    {"crHSplit", -14},  {"crVSplit", -15},    {"crMultiDrag", -16}, {"crSQLWait", -17},
    {"crNo", -18},      {"crAppStart", -19},  {"crHelp", -20},      {"crHandPoint", -21},
    {"crSizeAll", -22},
}};

int KeywordEditorModel::pointerIndex(std::int16_t number) {
  const auto it = std::find_if(kPointers.begin(), kPointers.end(),
                               [&](const Pointer& p) { return p.number == number; });
  return it == kPointers.end() ? -1 : static_cast<int>(it - kPointers.begin());
}

KeywordEditorModel::KeywordEditorModel(const editor::KeywordList& keywords)
    : mode_(Mode::keywords) {
  rows_.reserve(static_cast<std::size_t>(keywords.count()) + 1);
  for (int i = 0; i < keywords.count(); ++i)
    rows_.push_back({keywords.text(i), {}, keywords.info(i)});
  rows_.push_back({{}, {}, rows_.empty() ? kFirstRecord : rows_.back().info});
}

KeywordEditorModel::KeywordEditorModel(const editor::StartStopKeyList& keys)
    : mode_(Mode::startStop) {
  rows_.reserve(static_cast<std::size_t>(keys.count()) + 1);
  for (int i = 0; i < keys.count(); ++i) {
    const editor::StartStopInfo& key = keys.item(i);
    Row row{key.startKey, key.stopKey, key.info};
    row.info.options =
        static_cast<std::uint8_t>((row.info.options & ~kParEnd) | (key.parEnd ? kParEnd : 0));
    rows_.push_back(std::move(row));
  }
  rows_.push_back({{}, {}, rows_.empty() ? kFirstRecord : rows_.back().info});
}

void KeywordEditorModel::select(int index) {
  current_ = std::clamp(index, 0, rowCount() - 1);
  findFailed_ = false;
}

std::string KeywordEditorModel::itemNumber() const {
  return findFailed_ ? "----" : std::to_string(current_ + 1);
}

void KeywordEditorModel::setText(int index, int column, std::string_view text) {
  Row& r = rows_.at(static_cast<std::size_t>(index));
  std::string& cell = column == 0 || mode_ == Mode::keywords ? r.text : r.stop;
  if (cell == text) return;
  cell = text;
  if (index == rowCount() - 1) rows_.push_back({{}, {}, rows_.back().info});
  changed();
}

void KeywordEditorModel::setInfo(int index, const editor::KeywordInfo& info) {
  editor::KeywordInfo& now = rows_.at(static_cast<std::size_t>(index)).info;
  if (now == info) return;
  now = info;
  changed();
}

std::optional<std::string> KeywordEditorModel::setContextNumber(int index, std::string_view text) {
  const std::string_view digits = platform::trim(text);
  const char* first = digits.data();
  const char* last = digits.data() + digits.size();
  if (first != last && *first == '+') ++first;  // from_chars takes a minus only
  int value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (digits.empty() || error != std::errc() || end != last || value < -32768 || value > 32767)
    return "'" + std::string(text) + "' is not a valid integer value";
  editor::KeywordInfo info = row(index).info;
  info.contextNum = static_cast<std::int16_t>(value);
  setInfo(index, info);
  return std::nullopt;
}

bool KeywordEditorModel::swatchShown(int index, Swatch which) const {
  const editor::KeywordInfo& info = row(index).info;
  if (info.foregnd == 0 && info.backgnd == 0) return false;
  return (which == Swatch::foreground ? info.foregnd : info.backgnd) != -1;
}

std::int32_t KeywordEditorModel::swatchStart(int index, Swatch which) const {
  if (swatchShown(index, which))
    return which == Swatch::foreground ? row(index).info.foregnd : row(index).info.backgnd;
  return which == Swatch::foreground ? 0x000000 : 0xFFFFFF;
}

void KeywordEditorModel::colorChosen(int index, Swatch which, std::int32_t color) {
  const Swatch other = which == Swatch::foreground ? Swatch::background : Swatch::foreground;
  const bool shown = swatchShown(index, which);
  const bool otherShown = swatchShown(index, other);
  editor::KeywordInfo info = row(index).info;
  std::int32_t& field = which == Swatch::foreground ? info.foregnd : info.backgnd;
  if (field == color && shown) return;
  field = color;
  if (!otherShown) (which == Swatch::foreground ? info.backgnd : info.foregnd) = -1;
  setInfo(index, info);
}

void KeywordEditorModel::resetColors(int index) {
  editor::KeywordInfo info = row(index).info;
  info.foregnd = -1;
  info.backgnd = -1;
  setInfo(index, info);
}

void KeywordEditorModel::exchange(int a, int b) {
  std::swap(rows_[static_cast<std::size_t>(a)], rows_[static_cast<std::size_t>(b)]);
  changed();
}

void KeywordEditorModel::removeCurrent() {
  if (current_ > lastEntry()) return;
  rows_.erase(rows_.begin() + current_);
  changed();
}

void KeywordEditorModel::moveUp() {
  if (current_ <= 0 || current_ > lastEntry()) return;
  exchange(current_ - 1, current_);
  --current_;
}

void KeywordEditorModel::moveDown() {
  if (current_ >= lastEntry()) return;
  exchange(current_, current_ + 1);
  ++current_;
}

// Both sorts end where the row's exchanges one by one would: taken out, the row goes past
// every row that its lower-cased text is greater (smaller) than, from the top (bottom) on.
void KeywordEditorModel::sortFromTopDown() {
  if (current_ > lastEntry()) return;
  Row moving = std::move(rows_[static_cast<std::size_t>(current_)]);
  rows_.erase(rows_.begin() + current_);
  const std::string key = platform::asciiLowered(moving.text);
  int place = 0;
  while (place < lastEntry() + 1 &&
         key > platform::asciiLowered(rows_[static_cast<std::size_t>(place)].text))
    ++place;
  rows_.insert(rows_.begin() + place, std::move(moving));
  current_ = place;
  changed();
}

void KeywordEditorModel::sortFromBottomUp() {
  if (current_ > lastEntry()) return;
  Row moving = std::move(rows_[static_cast<std::size_t>(current_)]);
  rows_.erase(rows_.begin() + current_);
  const std::string key = platform::asciiLowered(moving.text);
  int place = lastEntry() + 1;
  while (place > 0 && key < platform::asciiLowered(rows_[static_cast<std::size_t>(place - 1)].text))
    --place;
  rows_.insert(rows_.begin() + place, std::move(moving));
  current_ = place;
  changed();
}

void KeywordEditorModel::setFindText(std::string_view text) {
  if (text == findText_) return;
  findText_ = text;
  findPosition_ = -1;
}

std::optional<std::string> KeywordEditorModel::findNext(FindMode mode) {
  if (findText_.empty()) return std::nullopt;
  const std::string wanted = platform::asciiLowered(findText_);
  int from = findPosition_ + 1;
  if (from >= rowCount()) from = 0;
  for (int i = from; i < rowCount(); ++i) {
    const std::string text = platform::asciiLowered(row(i).text);
    const std::size_t at = text.find(wanted);
    const bool found = at != std::string::npos &&
                       (mode != FindMode::wholeWord || text.size() == wanted.size()) &&
                       (mode != FindMode::leftChars || at == 0);
    if (found) {
      current_ = findPosition_ = i;
      findFailed_ = false;
      return std::nullopt;
    }
  }
  findPosition_ = -1;
  findFailed_ = true;
  return "Not Found: \"" + findText_ + "\"";
}

bool KeywordEditorModel::writeBack(editor::KeywordList& keywords) const {
  if (!modified_) return false;
  keywords.beginUpdate();
  keywords.clear();
  for (int i = 0; i <= lastEntry(); ++i)
    if (!row(i).text.empty()) keywords.add(row(i).text, row(i).info);
  keywords.endUpdate();
  return true;
}

bool KeywordEditorModel::writeBack(editor::StartStopKeyList& keys) const {
  if (!modified_) return false;
  keys.beginUpdate();
  keys.clear();
  for (int i = 0; i <= lastEntry(); ++i) {
    const Row& r = row(i);
    if (r.text.empty()) continue;
    editor::KeywordInfo info = r.info;
    info.options = static_cast<std::uint8_t>(info.options & ~kParEnd);
    keys.add(r.text, r.stop, (r.info.options & kParEnd) != 0, info);
  }
  keys.endUpdate();
  return true;
}

}  // namespace quillon::language

#pragma once
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::editor {

class CodeMemo;

// The editor's text seen as a list of strings. Both views share loading, saving, the whole
// text and update nesting; they differ in what an item is.
class MemoStrings {
public:
  explicit MemoStrings(CodeMemo& memo) : memo_(memo) {}
  virtual ~MemoStrings() = default;
  MemoStrings(const MemoStrings&) = delete;
  MemoStrings& operator=(const MemoStrings&) = delete;

  std::string text() const;
  void setText(std::string_view text);
  void clear();
  void loadFromFile(const std::filesystem::path& path);
  void saveToFile(const std::filesystem::path& path) const;
  void loadFromStream(std::istream& in);
  void saveToStream(std::ostream& out) const;
  void beginUpdate();
  void endUpdate();
  // Loads another list's items as if they were read from a stream, one per line.
  void assign(const std::vector<std::string>& items);

  virtual std::int64_t count() const = 0;
  virtual std::string get(std::int64_t index) const = 0;
  virtual void put(std::int64_t index, std::string_view text) = 0;
  virtual void insert(std::int64_t index, std::string_view text) = 0;
  virtual void add(std::string_view text) = 0;
  virtual void erase(std::int64_t index) = 0;

protected:
  CodeMemo& memo_;
};

// Items are display lines. With word wrap off they coincide with paragraphs.
class LinesView final : public MemoStrings {
public:
  using MemoStrings::MemoStrings;
  std::int64_t count() const override;
  std::string get(std::int64_t index) const override;
  void put(std::int64_t index, std::string_view text) override;
  void insert(std::int64_t index, std::string_view text) override;
  void add(std::string_view text) override;
  void erase(std::int64_t index) override;
};

// Items are paragraphs.
class ParagraphsView final : public MemoStrings {
public:
  using MemoStrings::MemoStrings;
  std::int64_t count() const override;
  std::string get(std::int64_t index) const override;
  void put(std::int64_t index, std::string_view text) override;
  void insert(std::int64_t index, std::string_view text) override;
  void add(std::string_view text) override;
  void erase(std::int64_t index) override;
};

}  // namespace quillon::editor

#include "language/code_intelligence.h"

#include "editor/code_memo.h"
#include "pages/document_commands.h"

namespace quillon::language {

std::vector<std::string> IndexNames::namesStartingWith(std::string_view prefix,
                                                       const NamePlace& place,
                                                       std::size_t limit) const {
  keeper_.refresh();
  std::vector<std::string> names;
  for (Completion& c :
       keeper_.index().completions(keeper_.currentFile(), place.line, prefix, limit))
    names.push_back(std::move(c.name));
  return names;
}

std::optional<std::string> IndexNames::parametersOf(std::string_view name,
                                                    const NamePlace& place) const {
  keeper_.refresh();
  std::optional<std::string> text =
      keeper_.index().parameterText(keeper_.currentFile(), place.line, name);
  // The index keeps the list with its parentheses; the hint wants what stands between them.
  if (text && text->size() >= 2 && text->front() == '(' && text->back() == ')')
    *text = text->substr(1, text->size() - 2);
  return text;
}

CodeIntelligence::CodeIntelligence(Parts parts)
    : referenceView_(std::make_unique<editor::CodeMemo>()),
      keeper_({parts.sourceEditor, parts.documents, parts.includes}),
      navigator_({parts.ui, parts.view, parts.states, parts.sourceEditor, *referenceView_,
                  parts.documents, keeper_}) {
  referenceView_->setReadOnly(true);
  pages::DocumentCommands& pages = parts.documents;
  pageWatches_[0] = pages.pagesChanged.listen([this] { keeper_.pagesChanged(); });
  pageWatches_[1] = pages.pageEntered.listen([this] { keeper_.pagesChanged(); });
  pageWatches_[2] = pages.pageClosed.listen([this] { keeper_.pagesChanged(); });
  pageWatches_[3] = pages.allPagesClosed.listen([this] { keeper_.pagesChanged(); });
}

CodeIntelligence::~CodeIntelligence() = default;

}  // namespace quillon::language

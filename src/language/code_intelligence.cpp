#include "language/code_intelligence.h"

#include "pages/document_commands.h"

namespace quillon::language {

CodeIntelligence::CodeIntelligence(Parts parts)
    : keeper_({parts.sourceEditor, parts.documents}),
      navigator_({parts.ui, parts.view, parts.states, parts.sourceEditor, referenceView_, parts.documents, keeper_}) {
  referenceView_.setReadOnly(true);
  pages::DocumentCommands& pages = parts.documents;
  pageWatches_[0] = pages.pagesChanged.listen([this] { keeper_.pagesChanged(); });
  pageWatches_[1] = pages.pageEntered.listen([this] { keeper_.pagesChanged(); });
  pageWatches_[2] = pages.pageClosed.listen([this] { keeper_.pagesChanged(); });
  pageWatches_[3] = pages.allPagesClosed.listen([this] { keeper_.pagesChanged(); });
}

}  // namespace quillon::language

#include "language/code_intelligence.h"

namespace quillon::language {

CodeIntelligence::CodeIntelligence(Parts parts)
    : keeper_({parts.sourceEditor, parts.documents}),
      navigator_({parts.ui, parts.view, parts.states, parts.sourceEditor, referenceView_, parts.documents, keeper_}) {
  referenceView_.setReadOnly(true);
}

}  // namespace quillon::language

#pragma once

namespace quillon::platform {
class CommandRegistry;
class MainView;
}  // namespace quillon::platform

namespace quillon::language {

class CodeNavigator;
class ContextList;
class HelpCommands;
class OutlineCommands;
class WordCheckCommands;

struct LanguageRowParts {
  OutlineCommands& outline;
  ContextList& contextList;
  HelpCommands& help;
  WordCheckCommands& wordCheck;
  platform::MainView& view;
  CodeNavigator& navigator;
};

// CodeInfo with the code navigation, Help Context, Check Words, the Help menu and the context
// list's pop-up rows.
void registerLanguageRows(platform::CommandRegistry& registry, LanguageRowParts parts);

}  // namespace quillon::language

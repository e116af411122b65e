#include "language/language_rows.h"

#include "language/code_navigator.h"
#include "language/context_list.h"
#include "language/help_commands.h"
#include "language/outline_commands.h"
#include "language/word_check_commands.h"
#include "platform/command_registry.h"
#include "platform/main_view.h"

namespace quillon::language {

void registerLanguageRows(platform::CommandRegistry& registry, LanguageRowParts parts) {
  using platform::Command;
  OutlineCommands& outline = parts.outline;
  ContextList& context = parts.contextList;
  HelpCommands& help = parts.help;
  registry.add({.id = "edit.checkWords",
                .caption = "Check Words",
                .run = [&check = parts.wordCheck] { check.open(); }});
  registry.add({.id = "codeinfo.show",
                .caption = "Show...",
                .key = "F12",
                .run = [&outline] { outline.toggleShow(); },
                .state = Command::CodeInfoShow1,
                .checkable = true});
  registry.add({.id = "codeinfo.rescan",
                .caption = "ReScan....",
                .key = "Ctrl+F12",
                .run = [&outline, &view = parts.view] {
                  if (outline.rescan()) view.focusSourceEditor();
                }});
  registry.add({.id = "codeinfo.sorted",
                .caption = "Sorted",
                .run = [&outline] { outline.toggleSorted(); },
                .state = Command::CodeInfoSorted1,
                .checkable = true});
  CodeNavigator& navigator = parts.navigator;
  registry.add({.id = "codeinfo.goToDefinition",
                .caption = "Go To Definition",
                .key = "F6",
                .run = [&navigator] { navigator.goToDefinition(); }});
  registry.add({.id = "codeinfo.findReferences",
                .caption = "Find References",
                .key = "Shift+F6",
                .run = [&navigator] { navigator.findReferences(); }});
  registry.add({.id = "codeinfo.back", .caption = "Back", .key = "Alt+Left", .run = [&navigator] {
                  navigator.back();
                }});
  // While the reference list is in front, F8 and Shift+F8 walk its rows.
  registry.addListWalker([&navigator](bool forward) { return navigator.walkReferences(forward); });
  registry.add({.id = "options.helpContext",
                .caption = "Help Context",
                .key = "Ctrl+H",
                .run = [&context] { context.helpContext(); },
                .state = Command::HelpContext1,
                .checkable = true});
  registry.add({.id = "help.mapbasic", .caption = "MapBasic Help", .key = "F1", .run = [&help] {
                  help.mapBasicHelp();
                }});
  registry.add({.id = "help.quillon", .caption = "Quillon Help", .key = "F2", .run = [&help] {
                  help.quillonHelp();
                }});
  // Without a word under the pop-up the two word rows are off.
  auto word = [&context] { return !context.popupWord().empty(); };
  registry.add({.id = "context.ignore",
                .caption = "Ignore For Now",
                .run = [&context] { context.ignoreForNow(); },
                .enabled = word});
  registry.add({.id = "context.addToDictionary",
                .caption = "Add To Dictionary",
                .run = [&context] { context.addToDictionary(); },
                .enabled = word});
}

}  // namespace quillon::language

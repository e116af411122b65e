#pragma once

namespace quillon::platform {
class CommandRegistry;
}

namespace quillon::settings {

class OptionCommands;

// The Options menu's switches, the two Project toggles and the word-wrap button.
void registerOptionRows(platform::CommandRegistry& registry, OptionCommands& options);

}  // namespace quillon::settings

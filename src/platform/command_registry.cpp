#include "platform/command_registry.h"

#include <stdexcept>

namespace quillon::platform {

namespace {

void claim(const std::map<std::string, CommandRow, std::less<>>& rows,
           const std::map<std::string, CommandList, std::less<>>& lists, const std::string& id) {
  if (id.empty()) throw std::logic_error("a command needs an id");
  if (rows.contains(id) || lists.contains(id))
    throw std::logic_error("command registered twice: " + id);
}

}  // namespace

void CommandRegistry::add(CommandRow row) {
  claim(rows_, lists_, row.id);
  if (!row.run) throw std::logic_error("command without a handler: " + row.id);
  std::string id = row.id;
  rows_.emplace(std::move(id), std::move(row));
}

void CommandRegistry::addList(CommandList list) {
  claim(rows_, lists_, list.id);
  if (!list.pick) throw std::logic_error("command list without a handler: " + list.id);
  std::string id = list.id;
  lists_.emplace(std::move(id), std::move(list));
}

const CommandRow* CommandRegistry::row(std::string_view id) const {
  const auto it = rows_.find(id);
  return it == rows_.end() ? nullptr : &it->second;
}

const CommandList* CommandRegistry::list(std::string_view id) const {
  const auto it = lists_.find(id);
  return it == lists_.end() ? nullptr : &it->second;
}

bool CommandRegistry::run(std::string_view id) const {
  const CommandRow* r = row(id);
  if (!r) return false;
  r->run();
  return true;
}

std::vector<std::string> CommandRegistry::ids() const {
  std::vector<std::string> all;
  for (const auto& [id, row] : rows_) all.push_back(id);
  for (const auto& [id, list] : lists_) all.push_back(id);
  return all;
}

void CommandRegistry::addListWalker(std::function<bool(bool forward)> walker) {
  walkers_.push_back(std::move(walker));
}

bool CommandRegistry::walkShownList(bool forward) const {
  for (const auto& walker : walkers_)
    if (walker(forward)) return true;
  return false;
}

}  // namespace quillon::platform

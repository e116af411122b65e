#include "settings/session_store.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/ascii_text.h"
#include "settings/setting_codec.h"

namespace quillon::settings {
namespace {

// The caption of a page: its file name without the folder.
std::string fileNamePart(std::string_view fileName) {
  const std::size_t slash = fileName.find_last_of('/');
  return std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
}

std::string extensionOf(std::string_view name) {
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string pageKey(std::size_t index) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%02zu", index);
  return buf;
}

bool usableName(std::string_view name) {
  // Section names are trimmed when written, so a name with outer blanks would be stored under
  // another name than the list shows.
  return !name.empty() && name.front() != ' ' && name.back() != ' ' &&
         IniFile::validSectionName(name) && !isReservedSectionName(name);
}

}  // namespace

bool isReservedSectionName(std::string_view name) {
  static constexpr std::array<std::string_view, 10> kReserved = {
      "system",  "numbers", "mrulist", "last session", "winmain",
      "winfind", "winchar", "winword", "cfind.items",  "creplace.items"};
  const std::string folded = platform::asciiLowered(name);
  return std::find(kReserved.begin(), kReserved.end(), folded) != kReserved.end();
}

std::string sessionName(const std::vector<std::string>& pageFileNames) {
  for (const std::string& file : pageFileNames) {
    const std::string caption = fileNamePart(file);
    if (platform::asciiLowered(extensionOf(caption)) == ".mbp") return caption;
  }
  return pageFileNames.empty() ? std::string() : fileNamePart(pageFileNames.front());
}

bool writeSession(IniFile& ini, pages::RecentList& sessions,
                  const std::vector<std::string>& pageFileNames, int tab, std::int64_t line,
                  std::int64_t cursor) {
  const std::string name = sessionName(pageFileNames);
  if (!usableName(name)) return false;

  // The last entry is about to drop out of the list; its section goes with it.
  if (sessions.full() && !sessions.contains(name) && !sessions.empty()) {
    const std::string& oldest = sessions.entries().back();
    if (!isReservedSectionName(oldest)) ini.eraseSection(oldest);
  }
  sessions.add(name);

  ini.eraseSection(name);
  for (std::size_t i = 0; i < pageFileNames.size(); ++i)
    ini.writeString(name, pageKey(i), pageFileNames[i]);
  writeInteger(ini, name, "tab", tab);
  ini.writeString(name, "line", std::to_string(line));
  ini.writeString(name, "cursor", std::to_string(cursor));
  return true;
}

SessionContents readSession(IniFile& ini, std::string_view name,
                            const std::function<bool(const std::string&)>& fileExists) {
  SessionContents session;
  if (isReservedSectionName(name)) {
    session.remove = true;
    return session;
  }
  const std::vector<std::string> keys = ini.readSection(name);
  if (keys.empty()) {
    session.remove = true;
    return session;
  }
  for (const std::string& key : keys) {
    const std::string folded = platform::asciiLowered(key);
    if (folded == "tab") {
      session.tab = readInteger(ini, name, key, 0);
    } else if (folded == "line") {
      session.line = readInteger(ini, name, key, 1);
    } else if (folded == "cursor") {
      session.cursor = readInteger(ini, name, key, 1);
    } else {
      const std::string file = ini.readString(name, key, "");
      if (file.empty()) continue;
      if (fileExists(file))
        session.files.push_back(file);
      else
        ini.deleteKey(name, key);
    }
  }
  if (session.files.empty()) {
    ini.eraseSection(name);
    session.remove = true;
  }
  return session;
}

int clampSessionTab(int tab, std::size_t pageCount) {
  if (pageCount == 0 || tab < 0) return 0;
  const std::size_t last = pageCount - 1;
  return static_cast<std::size_t>(tab) > last ? static_cast<int>(last) : tab;
}

void clearSessions(IniFile& ini, pages::RecentList& sessions) {
  for (const std::string& name : sessions.entries())
    if (!isReservedSectionName(name)) ini.eraseSection(name);
  sessions.clear();
}

}  // namespace quillon::settings

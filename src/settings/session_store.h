#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/recent_list.h"
#include "settings/ini_file.h"

namespace quillon::settings {

// The sessions of the "Last Sessions" list: each is a section of the settings file named
// after a tab caption, holding the pages' file names under "00", "01", ... and the view
// state under "tab", "line" and "cursor". Page and editor work stays with the caller.

// True for the sections the program keeps for itself; a session of that name would write
// into (or erase) them, so sessions never use these names.
bool isReservedSectionName(std::string_view name);

// The caption of the first page whose extension is ".mbp" (any case), else of page 0.
// Empty when there are no pages.
std::string sessionName(const std::vector<std::string>& pageFileNames);

// WriteSession, for the close query once tab 0 is not "Untitled". Returns false and changes
// nothing when there is no page or the name is reserved or cannot name a section.
bool writeSession(IniFile& ini, pages::RecentList& sessions,
                  const std::vector<std::string>& pageFileNames, int tab, std::int64_t line,
                  std::int64_t cursor);

struct SessionContents {
  std::vector<std::string> files;  // in key order, only files that exist
  int tab = 0;
  std::int64_t line = 1;
  std::int64_t cursor = 0;
  bool remove = false;  // the list drops the entry; otherwise it moves it to the top
};

// SessionPicked up to the opening of the files: reads the section, deletes the keys of files
// that are gone and erases a section left without files. A reserved name is only removed
// from the list, its section untouched.
SessionContents readSession(IniFile& ini, std::string_view name,
                            const std::function<bool(const std::string&)>& fileExists);

// A stored tab may point past the pages the session reopened (files gone or already open);
// it then selects the last page, the nearest to the one meant. No pages gives 0.
int clampSessionTab(int tab, std::size_t pageCount);

// "Clear List..." answered Yes: erases every listed session's section, then empties the list.
void clearSessions(IniFile& ini, pages::RecentList& sessions);

}  // namespace quillon::settings

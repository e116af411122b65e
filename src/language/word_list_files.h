#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::language {

// The three text word-list files, read from their bytes. Lines end in CR LF, LF CR, CR or LF.
// "Trimmed" removes bytes up to 32 at both ends.
//
// Dictionary (.dic), each line trimmed:
//   empty                                   skipped
//   first four bytes ' + MaxMBver ('6.0)   version marker: it and every line after it skipped
//   anything else beginning with '          comment, skipped
//   anything else                           one word or phrase, kept whole
// Definitions (.def): lines skipped as in the dictionary; from every other line the text after
//   its first word up to the next blank, when more follows ("Define NAME value" gives NAME;
//   "Define NAME" gives nothing). The first word is not examined. Tabs count as blanks.
// Help contexts (.ctx): a line that is empty after trimming, or whose very first byte is ';' or
//   an apostrophe, is dropped; every other line is kept exactly as written, leading blanks too.
//
// "Without case" here is Windows-1252 upper case, compared byte by byte.

// A word-list file larger than this is not one.
inline constexpr std::uint64_t kMaxWordListSize = std::uint64_t{64} << 20;

// Sorted ascending without case; equal words keep their file order.
std::vector<std::string> readDictionary(std::string_view bytes, std::string_view maxMbVersion);
std::vector<std::string> readDefinitions(std::string_view bytes, std::string_view maxMbVersion);
// Sorted descending by compareNoCase, so a line comes before every line that is its prefix.
std::vector<std::string> readHelpContexts(std::string_view bytes);

// Ascending without case, stable.
void sortWords(std::vector<std::string>& words);
bool wordLess(std::string_view a, std::string_view b);
bool sameWord(std::string_view a, std::string_view b);

// Whether a word can be a dictionary line: one that is empty after trimming, that holds a
// line break or that begins with an apostrophe would read back as nothing or as a comment.
bool storableWord(std::string_view word);

// The dictionary file `now` with `words` added where it lacks them, as the save writes it:
// leading comment lines stay first; the run of entries after them, up to the next comment or
// version marker, takes every word the file does not already hold and is written trimmed and
// sorted, each line ended by CR LF; every byte from that comment or marker on stays as it was.
// A file without comments comes out as its sorted, trimmed entries. Words that are not
// storable are left out.
std::string mergeDictionary(std::string_view now, const std::vector<std::string>& words,
                            std::string_view maxMbVersion);

}  // namespace quillon::language

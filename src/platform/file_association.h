#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::platform {

// Who a file type should open with, in every form a store may need: a Windows store writes
// `command` as the type's open command; a desktop store builds its own entry from `program`.
struct Opener {
  enum class Kind { Quillon, MapBasic };
  Kind kind = Kind::Quillon;
  std::filesystem::path program;  // the program file that opens the document
  std::string command;            // the Windows command-line text, e.g. `C:\Q\quillon.exe "%1"`
};

// Where the system keeps which program opens ".mb" and ".mbp" files. On Windows the file type
// registration; on Linux the desktop's MIME defaults.
class AssociationStore {
public:
  virtual ~AssociationStore() = default;
  // The command line of the program that now opens files with this extension (".mb"); empty
  // when the extension has no opener registered.
  virtual std::string openCommand(std::string_view extension) const = 0;
  // Makes `opener` the program for the extension, registering the extension first when it
  // has no type yet. Returns the error text when the system refuses the write.
  virtual std::optional<std::string> setOpener(std::string_view extension,
                                               const Opener& opener) = 0;
};

// The "Set as Defaut [*.MB] Editor" command and its check mark.
class FileAssociation {
public:
  explicit FileAssociation(AssociationStore& store) : store_(store) {}

  // Recomputes the check mark from the store: checked when the opener of ".mb" mentions
  // "quillon" in any case; ".mbp" decides when it has an opener of its own.
  bool checkAssociation();
  // Toggles the mark and points ".mb" and then ".mbp" at this program (now checked) or at
  // MapBasic (now unchecked). On a refused write the remaining extension is left alone, the
  // mark is read back from the store so it shows what is really registered, and the error
  // text is returned for the caller to show.
  std::optional<std::string> toggleDefaultEditor(const std::filesystem::path& programPath,
                                                 const std::filesystem::path& mapBasicFolder);

  bool checked() const { return checked_; }

  static Opener quillonOpener(const std::filesystem::path& programPath);
  static Opener mapBasicOpener(const std::filesystem::path& mapBasicFolder);

private:
  AssociationStore& store_;
  bool checked_ = false;
};

}  // namespace quillon::platform

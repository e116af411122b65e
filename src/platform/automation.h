#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace quillon::platform {

// The GIS program's automation object: attach to the running program, hand it statements.
class Automation {
public:
  virtual ~Automation() = default;
  // Attaches to the running program and keeps the object; false when there is none.
  virtual bool attach() = 0;
  // Drops the object kept by the last attach.
  virtual void release() = 0;
  // Runs one statement on the attached object; the error text when it fails.
  virtual std::optional<std::string> doStatement(std::string_view statement) = 0;
};

}  // namespace quillon::platform

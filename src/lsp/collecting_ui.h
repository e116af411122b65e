#pragma once
#include <string>
#include <vector>

#include "platform/ui.h"

namespace quillon::lsp {

// The server has no screen: what the core would show in a message box is kept for the client
// (window/showMessage); every question is answered as if cancelled, so nothing waits on it.
class CollectingUi final : public platform::Ui {
public:
  std::vector<std::string> takeMessages() { return std::exchange(messages_, {}); }

  void showMessage(std::string_view text) override { messages_.emplace_back(text); }
  Answer ask(std::string_view, std::string_view, Buttons buttons) override {
    return buttons == Buttons::Ok                                      ? Answer::Ok
           : buttons == Buttons::YesNo || buttons == Buttons::YesNoAll ? Answer::No
                                                                       : Answer::Cancel;
  }
  std::optional<std::string> prompt(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::vector<std::filesystem::path> openFiles(FileDialog&) override { return {}; }
  std::optional<std::filesystem::path> saveFile(const FileDialog&) override { return std::nullopt; }
  std::optional<std::filesystem::path> pickFolder(std::string_view,
                                                  const std::filesystem::path&) override {
    return std::nullopt;
  }
  void setStatusText(int, std::string_view text) override { status_ = std::string(text); }
  std::string statusText(int) const override { return status_; }
  void setBusy(bool) override {}
  void processPendingMessages() override {}

private:
  std::vector<std::string> messages_;
  std::string status_;
};

}  // namespace quillon::lsp

#pragma once
#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"

namespace quillon::testing {

// A Ui for tests: records every message and status text, and answers questions, prompts and
// dialogs from queues the test fills beforehand. Strict both ways, so a test cannot believe the
// program asks more or less than it does: a question with no queued answer fails the test (and
// answers Cancel), and so does an answer still queued when the ScriptedUi goes away.
class ScriptedUi : public platform::Ui {
public:
  struct Question {
    std::string caption;
    std::string text;
    Buttons buttons;
  };

  ScriptedUi() = default;
  ScriptedUi(const ScriptedUi&) = delete;
  ScriptedUi& operator=(const ScriptedUi&) = delete;
  ~ScriptedUi() override {
    if (!allAnswersUsed()) ADD_FAILURE() << "scripted replies never asked for: " << unused();
  }

  // Scripting.
  void queueAnswer(Answer a) { answers_.push_back(a); }
  void queuePrompt(std::optional<std::string> reply) { prompts_.push_back(std::move(reply)); }
  // `filterIndex`, when not 0, is the filter the user confirmed the dialog with.
  void queueOpenFiles(std::vector<std::filesystem::path> files, int filterIndex = 0) {
    openFiles_.push_back(std::move(files));
    openFilters_.push_back(filterIndex);
  }
  void queueSaveFile(std::optional<std::filesystem::path> file) {
    saveFiles_.push_back(std::move(file));
  }
  void queueFolder(std::optional<std::filesystem::path> folder) {
    folders_.push_back(std::move(folder));
  }

  // What happened.
  const std::vector<std::string>& messages() const { return messages_; }
  const std::vector<Question>& questions() const { return questions_; }
  const std::vector<std::pair<int, std::string>>& statusHistory() const { return statusHistory_; }
  const std::vector<FileDialog>& fileDialogs() const { return fileDialogs_; }
  // The caption of each folder picker, and where it was asked to open.
  const std::vector<std::string>& folderCaptions() const { return folderCaptions_; }
  const std::vector<std::filesystem::path>& folderStarts() const { return folderStarts_; }
  // For a test that checks the messages of one step after another.
  void clearMessages() { messages_.clear(); }
  bool busy() const { return busy_; }
  int pendingMessageCalls() const { return pendingCalls_; }
  // True when every scripted reply was used.
  bool allAnswersUsed() const {
    return answers_.empty() && prompts_.empty() && openFiles_.empty() && saveFiles_.empty() &&
           folders_.empty();
  }

  void showMessage(std::string_view text) override { messages_.emplace_back(text); }

  Answer ask(std::string_view caption, std::string_view text, Buttons buttons) override {
    questions_.push_back({std::string(caption), std::string(text), buttons});
    return next(answers_, "question", std::string(caption) + ": " + std::string(text),
                Answer::Cancel);
  }

  std::optional<std::string> prompt(std::string_view caption, std::string_view question,
                                    std::string_view) override {
    questions_.push_back({std::string(caption), std::string(question), Buttons::OkCancel});
    return next(prompts_, "prompt", question, std::optional<std::string>{});
  }

  std::vector<std::filesystem::path> openFiles(FileDialog& dialog) override {
    fileDialogs_.push_back(dialog);
    if (!openFilters_.empty()) {
      if (openFilters_.front() != 0) dialog.filterIndex = openFilters_.front();
      openFilters_.pop_front();
    }
    return next(openFiles_, "open dialog", dialog.title, std::vector<std::filesystem::path>{});
  }

  std::optional<std::filesystem::path> saveFile(const FileDialog& dialog) override {
    fileDialogs_.push_back(dialog);
    return next(saveFiles_, "save dialog", dialog.title, std::optional<std::filesystem::path>{});
  }

  std::optional<std::filesystem::path> pickFolder(std::string_view caption,
                                                  const std::filesystem::path& start) override {
    folderCaptions_.emplace_back(caption);
    folderStarts_.push_back(start);
    return next(folders_, "folder picker", caption, std::optional<std::filesystem::path>{});
  }

  void setStatusText(int panel, std::string_view text) override {
    status_[panel] = std::string(text);
    statusHistory_.emplace_back(panel, std::string(text));
  }
  std::string statusText(int panel) const override {
    const auto it = status_.find(panel);
    return it == status_.end() ? std::string() : it->second;
  }
  void setBusy(bool busy) override { busy_ = busy; }
  void processPendingMessages() override {
    ++pendingCalls_;
    if (onPendingMessages) onPendingMessages();
  }
  // What the user does while a command lets the window's messages run.
  std::function<void()> onPendingMessages;

private:
  static const char* name(Answer a) {
    switch (a) {
      case Answer::Ok: return "Ok";
      case Answer::Cancel: return "Cancel";
      case Answer::Yes: return "Yes";
      case Answer::No: return "No";
      case Answer::YesToAll: return "YesToAll";
      case Answer::NoToAll: return "NoToAll";
      case Answer::All: return "All";
    }
    return "?";
  }
  static std::string name(const std::optional<std::string>& reply) {
    return reply ? '"' + *reply + '"' : std::string("cancel");
  }
  static std::string name(const std::optional<std::filesystem::path>& file) {
    return file ? file->string() : std::string("cancel");
  }
  static std::string name(const std::vector<std::filesystem::path>& files) {
    std::string all;
    for (const auto& f : files) all += (all.empty() ? "" : " ") + f.string();
    return all.empty() ? std::string("cancel") : all;
  }
  template <class T>
  static void list(std::string& out, const char* what, const std::deque<T>& queue) {
    for (const auto& reply : queue)
      out += (out.empty() ? "" : ", ") + std::string(what) + " " + name(reply);
  }
  std::string unused() const {
    std::string out;
    list(out, "answer", answers_);
    list(out, "prompt", prompts_);
    list(out, "open dialog", openFiles_);
    list(out, "save dialog", saveFiles_);
    list(out, "folder picker", folders_);
    return out;
  }

  template <class T>
  static T next(std::deque<T>& queue, const char* what, std::string_view detail, T fallback) {
    if (queue.empty()) {
      ADD_FAILURE() << "unexpected " << what << ": " << detail;
      return fallback;
    }
    T v = std::move(queue.front());
    queue.pop_front();
    return v;
  }

  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> prompts_;
  std::deque<std::vector<std::filesystem::path>> openFiles_;
  std::deque<int> openFilters_;
  std::deque<std::optional<std::filesystem::path>> saveFiles_;
  std::deque<std::optional<std::filesystem::path>> folders_;
  std::vector<std::string> messages_;
  std::vector<Question> questions_;
  std::map<int, std::string> status_;
  std::vector<std::pair<int, std::string>> statusHistory_;
  std::vector<FileDialog> fileDialogs_;
  std::vector<std::string> folderCaptions_;
  std::vector<std::filesystem::path> folderStarts_;
  bool busy_ = false;
  int pendingCalls_ = 0;
};

}  // namespace quillon::testing

#include "build/build_rows.h"

#include "build/build_commands.h"
#include "build/error_panel.h"
#include "build/insert_file.h"
#include "build/project_commands.h"
#include "platform/command_registry.h"

namespace quillon::build {

void registerBuildRows(platform::CommandRegistry& registry, BuildRowParts parts) {
  using platform::Command;
  BuildCommands& build = parts.build;
  ErrorPanel& errors = parts.errors;
  ProjectCommands& project = parts.project;
  registry.add({.id = "project.pageAsFirst",
                .caption = "Set Page As #1 [PRJ]....",
                .hint = "Set this page to #1 > project",
                .run = [&project] { project.setPageAsFirst(); }});
  registry.add(
      {.id = "project.new", .caption = "New", .run = [&project] { project.newProject(); }});
  registry.add(
      {.id = "project.select", .caption = "Select....", .run = [&project] { project.select(); }});
  registry.add({.id = "project.fromPages", .caption = "Create From Pages", .run = [&project] {
                  project.createFromPages();
                }});
  registry.add({.id = "project.compile",
                .caption = "Compile",
                .key = "Ctrl+K",
                .run = [&build] { build.compile(); },
                .state = Command::Compile1});
  registry.add({.id = "project.link",
                .caption = "Link",
                .key = "Ctrl+L",
                .run = [&build] { build.link(); },
                .state = Command::Link1});
  registry.add({.id = "project.run",
                .caption = "Run",
                .key = "Ctrl+U",
                .run = [&build] { build.run(); },
                .state = Command::Run1});
  registry.add(
      {.id = "project.stopBuild", .caption = "Stop Build", .run = [&build] { build.stopBuild(); }});
  registry.add({.id = "project.showErrors",
                .caption = "Show Errors",
                .key = "Ctrl+E",
                .run = [&errors] { errors.toggle(); },
                .state = Command::ShowErrors1,
                .checkable = true});
  // Another list in front of the bottom panel takes F8 and Shift+F8 first.
  auto walk = [&errors, &registry](bool forward) {
    return [&errors, &registry, forward] {
      if (!registry.walkShownList(forward)) errors.nextError(forward);
    };
  };
  registry.add({.id = "errors.next", .caption = "Next Error", .key = "F8", .run = walk(true)});
  registry.add({.id = "errors.previous",
                .caption = "Previous Error",
                .key = "Shift+F8",
                .run = walk(false)});
  registry.add({.id = "project.buildOutput", .caption = "Build Output", .run = [&build] {
                  build.showOutput();
                }});
  registry.add({.id = "file.insert",
                .caption = "Insert File...",
                .run = [&insert = parts.insertFile] { insert.run(); }});

  registry.add({.id = "bCompile",
                .hint = "Compile",
                .icon = "compile",
                .run = [&build] { build.compile(); },
                .state = Command::bCompile});
  registry.add({.id = "bLink",
                .hint = "Link",
                .icon = "link",
                .run = [&build] { build.link(); },
                .state = Command::bLink});
  registry.add({.id = "bRun",
                .hint = "Run",
                .icon = "run",
                .run = [&build] { build.run(); },
                .state = Command::bRun});
  registry.add({.id = "bError",
                .hint = "Show Errors",
                .icon = "errors",
                .run = [&errors] { errors.toggle(); },
                .state = Command::bError,
                .checkable = true});
}

}  // namespace quillon::build

#include "platform/file_association.h"

#include <gtest/gtest.h>

#include "support/fake_association_store.h"

#include <map>
#include <vector>

using quillon::platform::AssociationStore;
using quillon::platform::FileAssociation;
using quillon::platform::Opener;

using FakeStore = quillon::testing::FakeAssociationStore;

TEST(FileAssociation, CheckMarkFollowsProjectFilesWhenBothAreRegistered) {
  FakeStore store;
  FileAssociation association(store);
  EXPECT_FALSE(association.checkAssociation());  // nothing registered

  store.commands[".mb"] = "C:\\TOOLS\\QUILLON.EXE \"%1\"";
  EXPECT_TRUE(association.checkAssociation());

  store.commands[".mbp"] = "C:\\MapBasic\\mapbasic.exe \"%1\"";
  EXPECT_FALSE(association.checkAssociation());

  store.commands[".mb"] = "notepad.exe \"%1\"";
  store.commands[".mbp"] = "/opt/QuilLon/bin/editor %f";
  EXPECT_TRUE(association.checkAssociation());
}

TEST(FileAssociation, ToggleWritesBothExtensionsWithTheCommandTexts) {
  FakeStore store;
  FileAssociation association(store);
  EXPECT_EQ(association.toggleDefaultEditor("C:\\Q\\quillon.exe", "C:\\MapBasic\\"), std::nullopt);
  EXPECT_TRUE(association.checked());
  EXPECT_EQ(store.commands[".mb"], "C:\\Q\\quillon.exe \"%1\"");
  EXPECT_EQ(store.commands[".mbp"], "C:\\Q\\quillon.exe \"%1\"");

  EXPECT_EQ(association.toggleDefaultEditor("C:\\Q\\quillon.exe", "C:\\MapBasic\\"), std::nullopt);
  EXPECT_FALSE(association.checked());
  EXPECT_EQ(store.commands[".mb"], "C:\\MapBasic\\mapbasic.exe \"%1\"");
  // A folder without its separator still yields a usable command.
  EXPECT_EQ(FileAssociation::mapBasicOpener("/opt/mb").command, "/opt/mb/mapbasic.exe \"%1\"");
}

TEST(FileAssociation, RefusedWriteStopsAndShowsWhatIsRegistered) {
  FakeStore store;
  store.commands[".mbp"] = "mapbasic.exe \"%1\"";
  FileAssociation association(store);
  association.checkAssociation();
  store.refuse = ".mb";
  EXPECT_EQ(association.toggleDefaultEditor("/usr/bin/quillon", "/mb/"), "Failed to set data for ''");
  EXPECT_EQ(store.writes, std::vector<std::string>{".mb"});  // ".mbp" not attempted
  EXPECT_FALSE(association.checked());                       // nothing changed, so still unchecked
}

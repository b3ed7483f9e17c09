#include "store/file_association.h"

#include <gtest/gtest.h>

#include "platform/registry_store.h"
#include "store/registry_key.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

constexpr RegistryRoot kRoot = RegistryRoot::kClassesRoot;

RegistryValue Value(Registry& registry, const std::u16string& key, const std::u16string& name) {
  RegistryValue v;
  v.type = 0;
  registry.QueryValue(kRoot, key, name, &v);
  return v;
}

TEST(FileAssociation, WritesTheFileClassEvenWithNothingSelected) {
  RegistryStore registry;
  ReaderSettings settings;
  FileAssociation association(registry, u"/opt/리라코", settings);
  association.LinkSelected(std::nullopt);
  EXPECT_EQ(settings, ReaderSettings());  // no list changed
  EXPECT_EQ(Value(registry, u"lirakofile", u"Default").text, u"Text Only");
  EXPECT_EQ(Value(registry, u"lirakofile", u"Default").type, kRegString);
  RegistryValue flags = Value(registry, u"lirakofile", u"EditFlags");
  EXPECT_EQ(flags.type, kRegNumber);
  EXPECT_EQ(flags.number, 0x00010000u);
  EXPECT_EQ(Value(registry, u"lirakofile\\DefaultIcon", u"Default").text,
            u"\\windows\\pword.exe, -110");
  EXPECT_EQ(Value(registry, u"lirakofile\\Shell\\Open\\Command", u"Default").text,
            u"\"/opt/리라코/lirako\" %1");
  // Unlinking with nothing selected does nothing at all.
  std::string before = registry.Serialize();
  association.UnlinkSelected(std::nullopt);
  EXPECT_EQ(registry.Serialize(), before);
  EXPECT_EQ(settings, ReaderSettings());
}

TEST(FileAssociation, RemembersAndRestoresAPreviousClass) {
  RegistryStore registry;
  registry.CreateKey(kRoot, u".txt");
  registry.SetString(kRoot, u".txt", u"Default", u"txtfile");
  registry.SetString(kRoot, u".txt", u"Content Type", u"text/x-old");
  ReaderSettings settings;
  FileAssociation association(registry, u"/r", settings);

  association.LinkSelected(std::u16string(u".txt"));
  EXPECT_EQ(settings.unlinkedExtensions, std::vector<std::u16string>{u".cap"});
  EXPECT_EQ(settings.linkedExtensions, std::vector<std::u16string>{u".txt"});
  EXPECT_EQ(settings.savedFileClasses, (std::vector<SavedFileClass>{{u".txt", u"txtfile"}}));
  EXPECT_EQ(Value(registry, u".txt", u"Default").text, u"lirakofile");
  EXPECT_EQ(Value(registry, u".txt", u"Content Type").text, u"text/x-old");

  association.UnlinkSelected(std::u16string(u".txt"));
  EXPECT_TRUE(registry.KeyExists(kRoot, u".txt"));
  EXPECT_EQ(Value(registry, u".txt", u"Default").text, u"txtfile");
  EXPECT_EQ(Value(registry, u".txt", u"Content Type").text, u"text/x-old");
  EXPECT_TRUE(settings.savedFileClasses.empty());
  EXPECT_TRUE(settings.linkedExtensions.empty());
  EXPECT_EQ(settings.unlinkedExtensions, (std::vector<std::u16string>{u".cap", u".txt"}));

  // With the settings lost while linked, linking again remembers the reader's own class.
  association.LinkExtension(u".txt");
  ReaderSettings lost;
  FileAssociation fresh(registry, u"/r", lost);
  fresh.LinkExtension(u".txt");
  EXPECT_EQ(lost.savedFileClasses, (std::vector<SavedFileClass>{{u".txt", u"lirakofile"}}));
  fresh.UnlinkExtension(u".txt");
  EXPECT_EQ(Value(registry, u".txt", u"Default").text, u"lirakofile");
}

TEST(FileAssociation, CreatesAndDeletesKeysItOwns) {
  RegistryStore registry;
  ReaderSettings settings;
  FileAssociation association(registry, u"/r", settings);

  // No key: created with both values, deleted on unlink.
  association.LinkSelected(std::u16string(u".cap"));
  EXPECT_EQ(Value(registry, u".cap", u"Default").text, u"lirakofile");
  EXPECT_EQ(Value(registry, u".cap", u"Content Type").text, u"text/plain");
  EXPECT_TRUE(settings.savedFileClasses.empty());
  association.UnlinkSelected(std::u16string(u".cap"));
  EXPECT_FALSE(registry.KeyExists(kRoot, u".cap"));

  // A key without "Default": both values set, nothing remembered, the key deleted on unlink.
  registry.CreateKey(kRoot, u".log");
  registry.SetString(kRoot, u".log", u"Other", u"x");
  association.LinkExtension(u".log");
  EXPECT_EQ(Value(registry, u".log", u"Default").text, u"lirakofile");
  EXPECT_EQ(Value(registry, u".log", u"Content Type").text, u"text/plain");
  EXPECT_TRUE(settings.savedFileClasses.empty());
  association.UnlinkExtension(u".log");
  EXPECT_FALSE(registry.KeyExists(kRoot, u".log"));

  // A class of 100 characters does not fit the read buffer and is not remembered.
  registry.CreateKey(kRoot, u".md");
  registry.SetString(kRoot, u".md", u"Default", std::u16string(100, u'c'));
  association.LinkExtension(u".md");
  EXPECT_TRUE(settings.savedFileClasses.empty());
  EXPECT_EQ(Value(registry, u".md", u"Content Type").text, u"text/plain");
  registry.SetString(kRoot, u".md", u"Default", std::u16string(99, u'c'));
  association.LinkExtension(u".md");
  EXPECT_EQ(settings.savedFileClasses,
            (std::vector<SavedFileClass>{{u".md", std::u16string(99, u'c')}}));
}

TEST(FileAssociation, RegistersTypedExtensionsWithoutTheRegistry) {
  RegistryStore registry;
  ReaderSettings settings;
  settings.linkedExtensions = {u".doc"};
  FileAssociation association(registry, u"/r", settings);
  using R = FileAssociation::NewExtension;
  EXPECT_EQ(association.RegisterExtension(u""), R::kEmpty);
  EXPECT_EQ(association.RegisterExtension(u".doc"), R::kContainsDot);
  EXPECT_EQ(association.RegisterExtension(u"txt"), R::kAlreadyListed);
  EXPECT_EQ(association.RegisterExtension(u"doc"), R::kAlreadyListed);
  EXPECT_EQ(association.RegisterExtension(u"TXT"), R::kAdded);
  EXPECT_EQ(settings.unlinkedExtensions, (std::vector<std::u16string>{u".txt", u".cap", u".TXT"}));
  EXPECT_EQ(registry.Serialize(), RegistryStore().Serialize());
}

TEST(CRegistryKey, ReadsAnyTypeIntoTwoHundredBytes) {
  RegistryStore registry;
  CRegistryKey key(registry, kRoot);
  std::u16string text = u"unchanged";
  EXPECT_FALSE(key.OpenKey(kRoot, u".none"));
  EXPECT_FALSE(key.SetString(u"Default", u"x"));
  EXPECT_FALSE(key.GetString(u"Default", &text));
  ASSERT_TRUE(key.CreateKey(kRoot, u".n"));
  EXPECT_TRUE(key.SetNumber(u"Default", 0x00410042));
  EXPECT_EQ(key.lastSize(), 4u);
  ASSERT_TRUE(key.GetString(u"Default", &text));
  EXPECT_EQ(text, u"BA");
  EXPECT_EQ(key.lastType(), kRegNumber);
  EXPECT_TRUE(key.SetString(u"Default", u"abc"));
  EXPECT_EQ(key.lastSize(), 8u);
  EXPECT_TRUE(key.DeleteValue(u"Default"));
  EXPECT_FALSE(key.GetString(u"Default", &text));
  EXPECT_FALSE(key.lastSucceeded());
  EXPECT_TRUE(key.DeleteKey(kRoot, u".n"));
  EXPECT_FALSE(registry.KeyExists(kRoot, u".n"));
}

TEST(FileAssociation, PersistsThroughTheStoreFileAndADamagedStoreReadsEmpty) {
  testing::TempDir dir;
  std::string path = dir.File("registry");
  {
    RegistryStore registry(path);
    ReaderSettings settings;
    FileAssociation association(registry, u"/r", settings);
    association.LinkSelected(std::u16string(u".txt"));
  }
  {
    RegistryStore reopened(path);
    EXPECT_EQ(Value(reopened, u".txt", u"Default").text, u"lirakofile");
    EXPECT_EQ(Value(reopened, u"lirakofile\\Shell\\Open\\Command", u"Default").text,
              u"\"/r/lirako\" %1");
  }
  dir.Write("registry", testing::ReadFileBytes(path).substr(0, 30) + "\"broken");
  RegistryStore damaged(path);
  EXPECT_FALSE(damaged.KeyExists(kRoot, u".txt"));
  ReaderSettings settings;
  settings.linkedExtensions = {u".txt"};
  FileAssociation association(damaged, u"/r", settings);
  association.UnlinkSelected(std::u16string(u".txt"));  // nothing remembered: key removed
  EXPECT_FALSE(damaged.KeyExists(kRoot, u".txt"));
  EXPECT_EQ(settings.unlinkedExtensions, (std::vector<std::u16string>{u".txt", u".cap", u".txt"}));
}

}  // namespace
}  // namespace lirako

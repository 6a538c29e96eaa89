#include "platform/RegistryKey.h"
#include "settings/OptionsStore.h"

#include "support/RecordingMessageSink.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

TEST(RegistryKey, MapsKeysToSectionsOfOneFile) {
    TempDir dir;
    {
        const ScopedEnvironment registry("VANTORELL_REGISTRY", std::nullopt);
        const ScopedEnvironment config("XDG_CONFIG_HOME", dir.file("config"));
        EXPECT_EQ(RegistryKey::RegistryFilePath(), dir.file("config/Vantorell2001/registry.ini"));
        const ScopedEnvironment relative("XDG_CONFIG_HOME", "relative");
        const ScopedEnvironment home("HOME", dir.path());
        EXPECT_EQ(RegistryKey::RegistryFilePath(), dir.file(".config/Vantorell2001/registry.ini"));
    }
    EXPECT_EQ(RegistryKey::SectionName(RegistryKey::Root::LocalMachine, "Software\\X"),
              "HKEY_LOCAL_MACHINE\\Software\\X");

    const std::string path = dir.file("reg/registry.ini");
    const ScopedEnvironment registry("VANTORELL_REGISTRY", path);
    RecordingMessageSink messages;
    RegistryKey key(messages);
    std::string value = "untouched";
    EXPECT_FALSE(key.ReadString("AppPath", value)) << "a closed key reads nothing";

    ASSERT_TRUE(key.Open(RegistryKey::Root::LocalMachine, "Software\\App Paths\\missing.exe"));
    EXPECT_FALSE(key.ReadString("", value));
    key.Close();
    EXPECT_EQ(value, "untouched");
    EXPECT_EQ(readFileBytes(path), "[HKEY_LOCAL_MACHINE\\Software\\App Paths\\missing.exe]\r\n")
        << "a lookup of a missing key leaves the key behind";

    writeFileBytes(path, "[hkey_current_user\\software\\vantorell2001]\r\n"
                         "AppPath=/opt/vantorell\r\n"
                         "Long=" +
                             std::string(300, 'x') + "\r\n");
    ASSERT_TRUE(key.Open(RegistryKey::Root::CurrentUser, "Software\\Vantorell2001"));
    EXPECT_TRUE(key.ReadString("AppPath", value));
    EXPECT_EQ(value, "/opt/vantorell");
    EXPECT_TRUE(key.ReadString("Long", value));
    EXPECT_EQ(value, std::string(RegistryKey::kMaxStringLength, 'x'));
    key.Close();
    EXPECT_FALSE(key.ReadString("AppPath", value));
    EXPECT_TRUE(messages.messages.empty());
}

TEST(RegistryKey, ReportsAKeyThatCannotBeCreated) {
    TempDir dir;
    writeFileBytes(dir.file("plain"), "not a folder");
    const ScopedEnvironment registry("VANTORELL_REGISTRY", dir.file("plain/registry.ini"));
    RecordingMessageSink messages;
    RegistryKey key(messages);
    EXPECT_FALSE(key.Open(RegistryKey::Root::CurrentUser, "Software\\Vantorell2001"));
    EXPECT_FALSE(key.IsOpen());
    ASSERT_EQ(messages.messages.size(), 1U);
    EXPECT_EQ(messages.messages[0].caption, "Vantorell 2001");
    EXPECT_EQ(messages.messages[0].text, "REGISTRY CREATE ERROR!");
}

TEST(OptionsStore, AppPathPrecedence) {
    TempDir dir;
    const std::string registryPath = dir.file("registry.ini");
    const ScopedEnvironment registry("VANTORELL_REGISTRY", registryPath);
    const ScopedEnvironment environment("VANTORELL_APPPATH", "/from/environment");
    writeFileBytes(registryPath, "[HKEY_CURRENT_USER\\Software\\Vantorell2001]\r\n"
                                 "AppPath=/from/registry\r\n");

    EXPECT_EQ(OptionsStore::GetAppPath("/from/command/line"), "/from/command/line");
    EXPECT_EQ(OptionsStore::GetAppPath(), "/from/environment");
    {
        const ScopedEnvironment empty("VANTORELL_APPPATH", "");
        EXPECT_EQ(OptionsStore::GetAppPath(), "/from/registry");
        EXPECT_EQ(OptionsStore(OptionsStore::GetAppPath()).SettingsPath(),
                  "/from/registry/propertys.ini");

        writeFileBytes(registryPath, "[Other]\r\n");
        EXPECT_EQ(OptionsStore::GetAppPath(), std::filesystem::current_path().string());
        EXPECT_EQ(readFileBytes(registryPath),
                  "[Other]\r\n[HKEY_CURRENT_USER\\Software\\Vantorell2001]\r\n");
    }
}

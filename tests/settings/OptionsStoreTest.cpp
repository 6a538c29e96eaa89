#include "settings/OptionsStore.h"

#include "support/OrdinaryUser.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <string>

#include <sys/stat.h>

// Without its folder the settings file can be neither read nor written: every setting keeps
// its default and every write says it failed.
TEST(OptionsStore, MissingFolderGivesEveryDefaultAndTakesNoSetting) {
    TempDir dir;
    OptionsStore store(dir.file("missing"));
    EXPECT_FALSE(store.SetMaxResult(7));
    EXPECT_FALSE(store.SetProxyPort("3128"));
    EXPECT_FALSE(store.WriteBoolean("Options", "UseProxy", true));
    EXPECT_FALSE(store.GetUseProxy());
    EXPECT_EQ(store.GetProxyServer(), "");
    EXPECT_EQ(store.GetProxyPort(), "8080");
    EXPECT_EQ(store.GetMaxResult(), 50);
    EXPECT_EQ(store.GetMaxEngine(), 5);
    EXPECT_TRUE(store.GetQueryHistory());
    EXPECT_EQ(store.GetSendTimeout(), 90);
    EXPECT_EQ(store.GetRecvTimeout(), 90);
    EXPECT_EQ(store.GetSearchTimeout(), 90);
    EXPECT_EQ(store.GetWinState(), OptionsStore::kWinStateMaximized);
    EXPECT_FALSE(store.GetAutoRemoveUrl());
    EXPECT_EQ(store.GetBrowser(), BrowserInternetExplorer);

    EXPECT_EQ(OptionsStore("/opt/vantorell/").SettingsPath(), "/opt/vantorell/propertys.ini");
    EXPECT_EQ(OptionsStore("/opt/vantorell").SettingsPath(), "/opt/vantorell/propertys.ini");
    EXPECT_EQ(OptionsStore("/").SettingsPath(), "/propertys.ini");
}

TEST(OptionsStore, BooleanIsTrueOnlyForExactlyOne) {
    TempDir dir;
    writeFileBytes(dir.file("propertys.ini"), "[Options]\r\n"
                                              "QueryHistory=2\r\n"
                                              "UseProxy=yes\r\n"
                                              "AutoRemoveUrl=1\r\n");
    const OptionsStore store(dir.path());
    EXPECT_FALSE(store.GetQueryHistory());
    EXPECT_FALSE(store.GetUseProxy());
    EXPECT_TRUE(store.GetAutoRemoveUrl());

    writeFileBytes(dir.file("propertys.ini"), "[Options]\r\n"
                                              "QueryHistory=-1\r\n"
                                              "UseProxy=0\r\n");
    EXPECT_TRUE(store.GetQueryHistory()) << "-1 stands for an absent key";
    EXPECT_FALSE(store.GetUseProxy());
    EXPECT_FALSE(store.GetAutoRemoveUrl());
}

TEST(OptionsStore, WritesThroughAtOnceAsDecimalText) {
    TempDir dir;
    OptionsStore writer(dir.path());
    writer.SetSendTimeout(30);
    writer.SetRecvTimeout(200);
    writer.SetUseProxy(true);
    writer.SetQueryHistory(false);
    writer.SetProxyServer(std::string(200, 'h'));
    writer.SetWinState(OptionsStore::kWinStateNormal);

    const OptionsStore reader(dir.path());
    EXPECT_EQ(reader.GetSendTimeout(), 30);
    EXPECT_EQ(reader.GetRecvTimeout(), 200);
    EXPECT_TRUE(reader.GetUseProxy());
    EXPECT_FALSE(reader.GetQueryHistory());
    EXPECT_EQ(reader.GetProxyServer(), std::string(127, 'h'));
    EXPECT_EQ(reader.GetWinState(), OptionsStore::kWinStateNormal);
    EXPECT_EQ(readFileBytes(dir.file("propertys.ini")), "[Options]\r\n"
                                                        "SendTimeout=30\r\n"
                                                        "RecvTimeout=200\r\n"
                                                        "UseProxy=1\r\n"
                                                        "QueryHistory=0\r\n"
                                                        "ProxyServer=" +
                                                            std::string(200, 'h') +
                                                            "\r\n"
                                                            "WinState=5\r\n");

    writer.SetBrowser(BrowserOther);
    writer.SetBrowserPath("/usr/bin/firefox");
    writer.SetMaxResult(-4);
    EXPECT_EQ(reader.GetBrowser(), 99);
    EXPECT_EQ(reader.ReadString("Options", "BrowserPath", ""), "/usr/bin/firefox");
    EXPECT_EQ(reader.GetMaxResult(), -4);
}

TEST(OptionsStore, SettingsFileThatCannotBeReadIsKeptWhole) {
    TempDir dir;
    const std::string before = "[Options]\r\nMaxResult=10\r\nProxyServer=proxy\r\n"
                               "ProxyPort=3128\r\n";
    writeFileBytes(dir.file("propertys.ini"), before);
    ::chmod(dir.file("propertys.ini").c_str(), 0200);
    runAsOrdinaryUser([&] {
        OptionsStore store(dir.path());
        EXPECT_EQ(store.GetMaxResult(), 50) << "an unreadable file reads as the defaults";
        EXPECT_FALSE(store.SetMaxResult(7));
        EXPECT_FALSE(store.SetUseProxy(true));
    });
    EXPECT_EQ(readFileBytes(dir.file("propertys.ini")), before);

    // A read-only program folder with a writable file still takes the setting.
    ::chmod(dir.file("propertys.ini").c_str(), 0644);
    ::chmod(dir.path().c_str(), 0555);
    runAsOrdinaryUser([&] {
        OptionsStore store(dir.path());
        EXPECT_TRUE(store.SetMaxResult(7));
        EXPECT_EQ(store.GetMaxResult(), 7);
        EXPECT_EQ(store.GetProxyPort(), "3128");
    });
    ::chmod(dir.path().c_str(), 0755);
}

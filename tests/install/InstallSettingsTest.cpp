#include "KeInstall/InstallSettings.h"

#include "common/Folders.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <atomic>
#include <thread>

// Each case runs in a process of its own, so each sees a fresh record.

TEST(InstallSettings, FreshStateIsDefaultFolderAndUnequalCounters)
{
    // The default install folder is created with the record when missing.
    SkinUI::CUiString folder = GetDefaultInstallFolder();
    RemoveDirectoryW(folder);
    InstallSettings& settings = GetInstallSettings();
    EXPECT_EQ(&settings, &GetInstallSettings());
    EXPECT_STREQ(folder, settings.installFolder);
    EXPECT_TRUE(PathIsDirectoryW(folder));
    EXPECT_TRUE(settings.desktopShortcut);
    EXPECT_TRUE(settings.addToTaskbar);
    EXPECT_EQ(0u, settings.LoadDone());
    EXPECT_EQ(0x7FFFFFFFFFFFFFFFULL, settings.LoadTotal());
    EXPECT_NE(settings.LoadDone(), settings.LoadTotal());
}

TEST(InstallSettings, ProductFolderAppendsTheProductWord)
{
    InstallSettings& settings = GetInstallSettings();
    settings.installFolder = L"D:\\Apps";
    EXPECT_STREQ(L"D:\\Apps\\Norvantix", settings.ProductFolder());
}

TEST(InstallSettings, CountersAreNeverSeenTorn)
{
    // Both halves of every stored value are equal; a torn read would mix two.
    InstallSettings& settings = GetInstallSettings();
    std::atomic<bool> done(false);
    std::thread writer([&] {
        for (unsigned i = 1; i < 200000; ++i) settings.StoreDone((static_cast<unsigned long long>(i) << 32) | i);
        done = true;
    });
    unsigned torn = 0;
    while (!done) {
        unsigned long long value = settings.LoadDone();
        if ((value >> 32) != (value & 0xFFFFFFFFu)) ++torn;
    }
    writer.join();
    EXPECT_EQ(0u, torn);
    EXPECT_EQ((199999ULL << 32) | 199999ULL, settings.LoadDone());
}

#include <gtest/gtest.h>

#include <string>

#include "BuilderTestUtil.h"
#include "ManagerTestUtil.h"
#include "ui/core/UiControlFactory.h"

using namespace SkinUI;
using namespace BuilderTest;

namespace {

// The control module built beside this executable.
std::wstring PluginPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"builder_plugin.dll";
}

using AliveFn = LONG (*)();

class Plugins : public ::testing::Test {
protected:
    void SetUp() override { CControlFactory::Destroy(); }
    void TearDown() override
    {
        CControlFactory::Destroy();
        ManagerTest::ResetShared();
    }
};

class NameCallback : public IDialogBuilderCallback {
public:
    CControlUI* MakeControl(const wchar_t* elementName) override
    {
        asked.push_back(elementName);
        return nullptr;
    }
    std::vector<std::wstring> asked;
};

} // namespace

TEST_F(Plugins, LoadingAModuleAddsItsCreatorOnce)
{
    struct Case {
        std::wstring path;
        bool loads;
    } cases[] = {
        {L"", false},
        {L"no-such-module.dll", false},
        {L"kernel32.dll", false},   // loads, but has no "CreateControl"
        {PluginPath(), true},
        {PluginPath(), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.loads, CControlFactory::LoadControlModule(c.path.c_str())) << TestSupport::ToUtf8(c.path);
    EXPECT_FALSE(CControlFactory::LoadControlModule(nullptr));
    EXPECT_EQ(1, CControlFactory::PluginCreators().GetSize());
    // Shutdown forgets the creators; loading again brings them back.
    CPaintManagerUI::Shutdown();
    EXPECT_EQ(0, CControlFactory::PluginCreators().GetSize());
    EXPECT_TRUE(CControlFactory::LoadControlModule(PluginPath().c_str()));
    EXPECT_EQ(1, CControlFactory::PluginCreators().GetSize());
}

TEST_F(Plugins, AModuleMakesControlsTheFactoryLacksAndTheHostDeletesThem)
{
    ASSERT_TRUE(CControlFactory::LoadControlModule(PluginPath().c_str()));
    HMODULE module = GetModuleHandleW(PluginPath().c_str());
    ASSERT_NE(nullptr, module);
    auto alive = reinterpret_cast<AliveFn>(reinterpret_cast<void*>(GetProcAddress(module, "GaugesAlive")));
    ASSERT_NE(nullptr, alive);
    const LONG before = alive();

    NameCallback callback;
    CPaintManagerUI manager;
    {
        CLayoutBuilder builder;
        Tree tree(builder.Create(
            L"<Window><Default name=\"Gauge\" value=\"tooltip=&quot;from default&quot;\"/>"
            L"<VerticalLayout><Gauge name=\"g\" level=\"7\"/><Button name=\"b\"/><Dial name=\"d\"/>"
            L"<Gauge name=\"h\"/></VerticalLayout></Window>",
            nullptr, &callback, &manager));
        // The factory's own class wins over the module's claim on "Button"; the
        // callback hears only what neither made.
        EXPECT_EQ("VerticalLayout(Gauge#g Button#b Gauge#h)", Describe(tree.get()));
        EXPECT_EQ(std::vector<std::wstring>{L"Dial"}, callback.asked);
        EXPECT_EQ(before + 2, alive());
        auto* box = static_cast<IContainerUI*>(tree->InterfaceFor(L"IContainer"));
        ASSERT_NE(nullptr, box);
        CControlUI* gauge = box->ItemAt(0);
        EXPECT_NE(nullptr, gauge->InterfaceFor(L"Gauge"));
        EXPECT_STREQ(L"7", gauge->UserText());
        EXPECT_STREQ(L"from default", gauge->Hint());
    }
    // Deleting the tree here ran the module's own destructors.
    EXPECT_EQ(before, alive());
}

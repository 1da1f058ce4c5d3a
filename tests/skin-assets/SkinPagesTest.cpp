// The installer's layouts painted in a real layered window, page by page: named
// pixels that show the art landed where the layouts place it, and a picture of
// each page (build/skin-shots/*.ppm) for a person to look over.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "../paint/PaintTestUtil.h"
#include "support/TestSupport.h"
#include "ui/controls/UiButton.h"
#include "ui/controls/UiContainerInterface.h"
#include "ui/controls/UiHorizontalLayout.h"
#include "ui/controls/UiLabel.h"
#include "ui/controls/UiOption.h"
#include "ui/controls/UiProgress.h"
#include "ui/controls/UiTabLayout.h"
#include "ui/controls/UiText.h"
#include "ui/controls/UiVerticalLayout.h"
#include "ui/core/UiDpi.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/core/XmlMarkup.h"

using namespace SkinUI;
using PaintTest::TestWindow;

namespace {

std::string g_archive;

CControlUI* MakeControl(const std::wstring& element)
{
    static const std::pair<const wchar_t*, std::function<CControlUI*()>> kClasses[] = {
        {L"Control", [] { return new CControlUI(); }},
        {L"VerticalLayout", [] { return new CVerticalLayoutUI(); }},
        {L"HorizontalLayout", [] { return new CHorizontalLayoutUI(); }},
        {L"TabLayout", [] { return new CTabLayoutUI(); }},
        {L"Button", [] { return new CButtonUI(); }},
        {L"Option", [] { return new COptionUI(); }},
        {L"Label", [] { return new CLabelUI(); }},
        {L"Text", [] { return new CTextUI(); }},
        {L"Progress", [] { return new CProgressUI(); }},
    };
    for (const auto& entry : kClasses)
        if (element == entry.first) return entry.second();
    return nullptr;
}

// The layout's control tree as the dialog builder makes it: children first, then
// the element's own attributes in document order, applied while the control knows
// its manager (so lengths meet the manager's scale), which is taken away again.
CControlUI* BuildTree(CXmlNode node, CPaintManagerUI* manager)
{
    CControlUI* control = MakeControl(node.GetName());
    if (control == nullptr) return nullptr;
    for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        CControlUI* item = BuildTree(child, manager);
        auto* container = static_cast<IContainerUI*>(control->InterfaceFor(L"IContainer"));
        if (item && !(container && container->AddItem(item))) delete item;
    }
    control->Attach(manager, nullptr, false);
    for (int i = 0; i < node.GetAttributeCount(); ++i)
        control->ApplyAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
    control->Attach(nullptr, nullptr, false);
    return control;
}

// A layout shown in a layered window of the layout's size, fonts as it declares them.
class SkinWindow {
public:
    // percent: the screen scale the window is made for (the layouts are written for 100).
    explicit SkinWindow(const wchar_t* layout, int percent = 100)
    {
        EXPECT_TRUE(m_doc.LoadFromFile(layout)) << TestSupport::ToUtf8(m_doc.GetErrorMessage());
        CXmlNode root = m_doc.GetRoot();
        int width = 0, height = 0;
        swscanf(root.GetAttributeValue(L"size"), L"%d,%d", &width, &height);
        width = width * percent / 100;
        height = height * percent / 100;
        m_window.reset(new TestWindow(width, height, true, 40, 40, L"Velkaro skin"));
        for (CXmlNode child = root.GetChild(); child.IsValid(); child = child.GetSibling()) {
            if (wcscmp(child.GetName(), L"Font") == 0) {
                m_window->Manager().AddFont(_wtoi(child.GetAttributeValue(L"id")), child.GetAttributeValue(L"name"),
                                            _wtoi(child.GetAttributeValue(L"size")),
                                            _wcsicmp(child.GetAttributeValue(L"bold"), L"true") == 0, false, false);
            } else if (CControlUI* tree = BuildTree(child, &m_window->Manager())) {
                m_root = tree;
            }
        }
        EXPECT_NE(m_root, nullptr);
        if (m_root) EXPECT_TRUE(m_window->Show(m_root));
        m_width = width;
        m_height = height;
    }

    CPaintManagerUI& Manager() { return m_window->Manager(); }
    void Paint()
    {
        InvalidateRect(m_window->Handle(), nullptr, FALSE);
        UpdateWindow(m_window->Handle());
        PaintTest::PumpFor(50);
    }
    PaintTest::Pixel At(int x, int y) { return PaintTest::OffscreenPixel(Manager(), x, y); }

    // The painted window over a grey backdrop, as a binary PPM a person can open.
    void Save(const std::string& name)
    {
        std::string folder = std::string(VELKARO_SHOT_DIR);
        CreateDirectoryW(TestSupport::FromHostPath(folder).c_str(), nullptr);
        std::string data = "P6\n" + std::to_string(m_width) + " " + std::to_string(m_height) + "\n255\n";
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                PaintTest::Pixel p = At(x, y);
                const int backdrop = 0x8C * (255 - p.a) / 255;   // the pixels are premultiplied
                data += static_cast<char>(p.r + backdrop);
                data += static_cast<char>(p.g + backdrop);
                data += static_cast<char>(p.b + backdrop);
            }
        }
        TestSupport::WriteFileBytes(TestSupport::FromHostPath(folder + "/" + name + ".ppm"), data);
    }

private:
    CXmlDocument m_doc;
    std::unique_ptr<TestWindow> m_window;
    CControlUI* m_root = nullptr;
    int m_width = 0, m_height = 0;
};

bool IsSkinBlue(const PaintTest::Pixel& p) { return p.a == 255 && p.b > 0xE0 && p.r < 0x90 && p.g > 0x80; }
bool IsNearWhite(const PaintTest::Pixel& p) { return p.a == 255 && p.r > 0xE8 && p.g > 0xE8 && p.b > 0xE8; }

class SkinPages : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string path = std::string(VELKARO_SKIN_ZIP);
        ASSERT_TRUE(TestSupport::ReadFileBytes(TestSupport::FromHostPath(path), &g_archive));
    }
    void SetUp() override
    {
        CUiResourceLocation::Shutdown();
        CUiResourceLocation::SetSkinFolder(L"");
        CUiResourceLocation::SetSkinArchiveInMemory(g_archive.data(), static_cast<DWORD>(g_archive.size()), nullptr);
    }
    void TearDown() override { CUiResourceLocation::Shutdown(); }
};

}  // namespace

TEST_F(SkinPages, WizardPagesPaintTheirArt)
{
    SkinWindow wizard(L"KEMainFrameWhite_brelvost.xml");
    auto* tabs = static_cast<CTabLayoutUI*>(wizard.Manager().FindControl(L"tabInstall"));
    ASSERT_NE(tabs, nullptr);
    // Each page's own background (the page objects set it on page 0 at start).
    wizard.Manager().FindControl(L"verroot0")->ApplyAttribute(
        L"bkimage", L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_01.png");
    const struct {
        int page;
        POINT blue, white;   // a pixel of the page's blue art, and one of its white card
    } kPages[] = {
        {0, {350, 290}, {100, 300}},   // the install button; the card beside it
        {1, {300, 236}, {100, 300}},   // the install button of the options page
        {2, {557, 185}, {100, 330}},   // the clip in the picture; below the feature list
        {3, {300, 240}, {100, 300}},   // the start button
    };
    for (const auto& expected : kPages) {
        ASSERT_TRUE(tabs->ShowPage(expected.page));
        wizard.Paint();
        wizard.Save("wizard-page" + std::to_string(expected.page));
        EXPECT_TRUE(IsSkinBlue(wizard.At(expected.blue.x, expected.blue.y))) << "page " << expected.page;
        EXPECT_TRUE(IsNearWhite(wizard.At(expected.white.x, expected.white.y))) << "page " << expected.page;
        // Round corners: the window's corner pixel stays clear.
        EXPECT_EQ(wizard.At(0, 0).a, 0) << "page " << expected.page;
        EXPECT_EQ(wizard.At(350, 210).a, 255) << "page " << expected.page;
    }
    // The agreement box is ticked (blue) on the welcome page's footer.
    ASSERT_TRUE(tabs->ShowPage(0));
    wizard.Paint();
    EXPECT_TRUE(IsSkinBlue(wizard.At(29 + 4, 352 + 27 + 4)));
}

TEST_F(SkinPages, MessageBoxesPaintTheirButtons)
{
    const struct {
        const wchar_t* layout;
        const char* shot;
    } kBoxes[] = {{L"KEWhiteMsgBox.xml", "white-box"}, {L"KEMsgBox.xml", "dark-box"}};
    for (const auto& box : kBoxes) {
        SkinWindow window(box.layout);
        window.Paint();
        window.Save(box.shot);
        ASSERT_NE(window.Manager().FindControl(L"cancelBtn"), nullptr);
        RECT cancel = window.Manager().FindControl(L"cancelBtn")->Bounds();
        RECT ok = window.Manager().FindControl(L"okBtn")->Bounds();
        EXPECT_TRUE(IsSkinBlue(window.At((cancel.left + cancel.right) / 2, cancel.top + 6))) << box.shot;
        EXPECT_TRUE(IsNearWhite(window.At((ok.left + ok.right) / 2, ok.top + 6))) << box.shot;
    }
}

// On a 200 % screen the page keeps its layout at twice the size, drawn from the
// sharper copies of its art.
TEST_F(SkinPages, WelcomePageAtTwiceTheScale)
{
    struct GlobalDpi {
        explicit GlobalDpi(int dpi) { CUiDpi::SetGlobalDpi(dpi); }
        ~GlobalDpi() { CUiDpi::SetGlobalDpi(96); }
    } screen(192);
    SkinWindow wizard(L"KEMainFrameWhite_brelvost.xml", 200);
    ASSERT_EQ(wizard.Manager().GetScale(), 200);
    auto* tabs = static_cast<CTabLayoutUI*>(wizard.Manager().FindControl(L"tabInstall"));
    ASSERT_NE(tabs, nullptr);
    wizard.Manager().FindControl(L"verroot0")->ApplyAttribute(
        L"bkimage", L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_01.png");
    ASSERT_TRUE(tabs->ShowPage(0));
    wizard.Paint();
    wizard.Save("wizard-page0@2x");
    EXPECT_TRUE(IsSkinBlue(wizard.At(700, 580)));           // the install button
    EXPECT_TRUE(IsSkinBlue(wizard.At(2 * 29 + 8, 2 * 379 + 8)));  // the ticked agreement box
    EXPECT_TRUE(IsNearWhite(wizard.At(200, 600)));
    // The round corner is twice as wide: clear well inside where 100 % would be card.
    EXPECT_EQ(wizard.At(2, 2).a, 0);
    EXPECT_EQ(wizard.At(20, 0).a, 255);
}

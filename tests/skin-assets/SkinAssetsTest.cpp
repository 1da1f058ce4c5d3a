// The installer's skin as KeInstall.exe carries it: its resources, and the layouts
// and images read back through the framework the way the installer reads them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "ui/controls/UiButton.h"
#include "ui/controls/UiContainer.h"
#include "ui/controls/UiHorizontalLayout.h"
#include "ui/controls/UiLabel.h"
#include "ui/controls/UiOption.h"
#include "ui/controls/UiProgress.h"
#include "ui/controls/UiScrollBar.h"
#include "ui/controls/UiTabLayout.h"
#include "ui/controls/UiText.h"
#include "ui/controls/UiVerticalLayout.h"
#include "ui/core/UiPaintManager.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/core/XmlMarkup.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiImageSpec.h"

using namespace SkinUI;
using TestSupport::ToUtf8;

namespace {

const wchar_t* const kLayouts[] = {L"KEMainFrameWhite_brelvost.xml", L"KEWhiteMsgBox.xml", L"KEMsgBox.xml"};

std::wstring BinFile(const char* name) { return TestSupport::FromHostPath(std::string(VELKARO_BIN_DIR "/") + name); }

// KeInstall.exe opened for its resources only.
struct Installer {
    HMODULE module = LoadLibraryExW(BinFile("KeInstall.exe").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ~Installer()
    {
        if (module) FreeLibrary(module);
    }
    std::string Resource(const wchar_t* type, int id) const
    {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
        if (!found) return std::string();
        HGLOBAL loaded = LoadResource(module, found);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        return bytes ? std::string(static_cast<const char*>(bytes), SizeofResource(module, found)) : std::string();
    }
};

struct ImageDeleter {
    void operator()(UiImageInfo* image) const { FreeImageInfo(image); }
};
using Image = std::unique_ptr<UiImageInfo, ImageDeleter>;

BYTE AlphaAt(const UiImageInfo& image, int x, int y) { return image.bits[(y * image.width + x) * 4 + 3]; }

std::wstring Stem(const std::wstring& path) { return path.substr(0, path.size() - 4); }

// The skin archive of the built installer, registered in memory as the entry point does.
class InstallerSkin : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_installer = new Installer();
        s_archive = new std::string(s_installer->Resource(L"KEZIP_RES", 113));
    }
    static void TearDownTestSuite()
    {
        CUiResourceLocation::Shutdown();
        delete s_archive;
        delete s_installer;
    }
    void SetUp() override
    {
        ASSERT_FALSE(s_archive->empty()) << "KeInstall.exe carries no skin archive";
        CUiResourceLocation::Shutdown();
        CUiResourceLocation::SetSkinFolder(L"");
        CUiResourceLocation::SetSkinArchiveInMemory(s_archive->data(), static_cast<DWORD>(s_archive->size()), nullptr);
    }

    static Image Load(const std::wstring& name) { return Image(DecodeImage(name.c_str(), nullptr, 0)); }

    static Installer* s_installer;
    static std::string* s_archive;
};
Installer* InstallerSkin::s_installer = nullptr;
std::string* InstallerSkin::s_archive = nullptr;

// Every element of a layout, depth first, with the file it came from.
void WalkElements(CXmlNode node, const std::function<void(CXmlNode)>& visit)
{
    for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        visit(child);
        WalkElements(child, visit);
    }
}

// The name="value" pairs of an attribute list (the value of a Default element).
std::vector<std::pair<std::wstring, std::wstring>> SplitAttributeList(const std::wstring& list)
{
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    size_t at = 0;
    while (at < list.size()) {
        size_t equals = list.find(L"=\"", at);
        if (equals == std::wstring::npos) break;
        size_t close = list.find(L'"', equals + 2);
        if (close == std::wstring::npos) break;
        size_t nameStart = list.find_first_not_of(L' ', at);
        pairs.emplace_back(list.substr(nameStart, equals - nameStart), list.substr(equals + 2, close - equals - 2));
        at = close + 1;
    }
    return pairs;
}

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
        {L"ScrollBar", [] { return new CScrollBarUI(); }},
    };
    for (const auto& entry : kClasses)
        if (element == entry.first) return entry.second();
    return nullptr;
}

bool IsResourceElement(const std::wstring& name)
{
    return name == L"Font" || name == L"Default" || name == L"Image" || name == L"Style" || name == L"Import";
}

// Every image attribute string of a layout: element attributes whose name ends in
// "image", and those inside the Default lists.
std::vector<std::wstring> ImageStrings(CXmlDocument& doc)
{
    std::vector<std::wstring> found;
    auto take = [&](const std::wstring& name, const std::wstring& value) {
        if (name.size() >= 5 && name.compare(name.size() - 5, 5, L"image") == 0 && !value.empty())
            found.push_back(value);
    };
    WalkElements(doc.GetRoot(), [&](CXmlNode node) {
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            std::wstring name = node.GetAttributeName(i), value = node.GetAttributeValue(i);
            if (name == L"value" && std::wstring(node.GetName()) == L"Default")
                for (const auto& pair : SplitAttributeList(value)) take(pair.first, pair.second);
            else
                take(name, value);
        }
    });
    return found;
}

// The images the installer's code names itself, with the corners it draws them with.
const wchar_t* const kImagesNamedInCode[] = {
    L"file='ke_appended\\shadow\\shadows_white.png' corner='16,16,16,16'",
    L"file='ke_appended\\shadow\\shadow_black.png' corner='38,38,38,38'",
    L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_01.png",
    L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_02.png",
    L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_03.png",
    L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_04.png",
};

}  // namespace

// ---- the executable's resources

TEST(InstallerResources, SkinArchiveIsThePackedZip)
{
    Installer exe;
    ASSERT_NE(exe.module, nullptr);
    std::string packed;
    ASSERT_TRUE(TestSupport::ReadFileBytes(TestSupport::FromHostPath(VELKARO_SKIN_ZIP), &packed));
    std::string carried = exe.Resource(L"KEZIP_RES", 113);
    EXPECT_EQ(carried.size(), packed.size());
    EXPECT_TRUE(carried == packed) << "resource 113 differs from skin.zip";
    EXPECT_EQ(carried.compare(0, 4, "PK\x03\x04"), 0);
}

TEST(InstallerResources, ManifestAsksForWhatTheInstallerNeeds)
{
    Installer exe;
    std::string manifest = exe.Resource(RT_MANIFEST, 1);
    ASSERT_FALSE(manifest.empty());
    for (const char* needed : {"level=\"highestAvailable\"", "name=\"Microsoft.Windows.Common-Controls\"",
                               "version=\"6.0.0.0\"", "<dpiAware", ">true</dpiAware>"})
        EXPECT_NE(manifest.find(needed), std::string::npos) << needed;
}

TEST(InstallerResources, IconLoadsAtEverySize)
{
    Installer exe;
    std::string group = exe.Resource(RT_GROUP_ICON, 101);
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(*reinterpret_cast<const WORD*>(group.data() + 4), 7) << "pictures in icon 101";
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        HICON icon = static_cast<HICON>(LoadImageW(exe.module, MAKEINTRESOURCEW(101), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectW(info.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(InstallerResources, VersionRecordNamesTheProduct)
{
    std::wstring path = BinFile("KeInstall.exe");
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(3, 5));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(3, 5));
    const std::pair<const wchar_t*, const wchar_t*> kStrings[] = {
        {L"ProductName", L"Velkaro"}, {L"ProductVersion", L"5.3.1.0"}, {L"FileVersion", L"5.3.1.0"},
        {L"CompanyName", L"Quorlith"}, {L"OriginalFilename", L"KeInstall.exe"}};
    for (const auto& entry : kStrings) {
        std::wstring key = std::wstring(L"\\StringFileInfo\\080404b0\\") + entry.first;
        wchar_t* value = nullptr;
        ASSERT_TRUE(VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            << ToUtf8(entry.first);
        EXPECT_EQ(std::wstring(value), entry.second);
    }
}

TEST(InstallerResources, WhatShipsBesideTheInstaller)
{
    for (const char* name : {"KeInstall.exe", "7zCore.dll", "ke.7z"})
        EXPECT_TRUE(TestSupport::FileExists(BinFile(name))) << name;
}

// ---- the layouts

TEST_F(InstallerSkin, LayoutsParseFromTheArchive)
{
    for (const wchar_t* layout : kLayouts) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromFile(layout)) << ToUtf8(layout) << ": " << ToUtf8(doc.GetErrorMessage());
        EXPECT_STREQ(doc.GetRoot().GetName(), L"Window");
    }
}

TEST_F(InstallerSkin, EveryControlTheInstallerBindsIsThereOnce)
{
    const std::pair<const wchar_t*, std::vector<const wchar_t*>> kNames[] = {
        {L"KEMainFrameWhite_brelvost.xml",
         {L"verRoot", L"tabInstall", L"verroot0", L"minbtn", L"closebtn", L"protocalOpt", L"installBtn",
          L"ke_btn_protocal", L"customBtn", L"verroot1", L"minbtn1", L"closebtn1", L"gobackbtn", L"installBtn1",
          L"desktopShortCutOpt", L"addtaskbarOpt", L"pathLab", L"modifyBtn", L"tq_desktop_short_cut",
          L"tq_quick_start_up_lab", L"tq_install_path", L"tq_hor_path_root", L"verroot2", L"minbtn2",
          L"closebtn2", L"installPrg", L"installproglab", L"verroot3", L"minbtn3", L"closebtn3", L"completeBtn"}},
        {L"KEWhiteMsgBox.xml",
         {L"ke_center_ver", L"ke_txt_title", L"ke_txt_msg", L"ke_lab_ico", L"closebtn", L"okBtn", L"cancelBtn"}},
        {L"KEMsgBox.xml", {L"ke_txt_title", L"ke_txt_msg", L"ke_lab_ico", L"closebtn", L"okBtn", L"cancelBtn"}},
    };
    for (const auto& file : kNames) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromFile(file.first));
        std::multiset<std::wstring> names;
        WalkElements(doc.GetRoot(), [&](CXmlNode node) {
            if (const wchar_t* name = node.GetAttributeValue(L"name"))
                if (!IsResourceElement(node.GetName())) names.insert(name);
        });
        for (const wchar_t* name : file.second)
            EXPECT_EQ(names.count(name), 1u) << ToUtf8(file.first) << ": " << ToUtf8(name);
    }
}

// A misspelt attribute is kept by a control as an unknown extra and silently does
// nothing: every one the skins use must be a name the control's table takes.
TEST_F(InstallerSkin, EveryAttributeIsOneTheControlTakes)
{
    for (const wchar_t* layout : kLayouts) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromFile(layout));
        WalkElements(doc.GetRoot(), [&](CXmlNode node) {
            std::wstring element = node.GetName();
            std::unique_ptr<CControlUI> control;
            std::vector<std::pair<std::wstring, std::wstring>> attributes;
            if (element == L"Default") {
                std::wstring target = node.GetAttributeValue(L"name");
                ASSERT_TRUE(target == L"VScrollBar" || target == L"HScrollBar") << ToUtf8(target);
                control.reset(MakeControl(L"ScrollBar"));
                attributes = SplitAttributeList(node.GetAttributeValue(L"value"));
                EXPECT_FALSE(attributes.empty());
            } else if (IsResourceElement(element)) {
                return;
            } else {
                control.reset(MakeControl(element));
                ASSERT_NE(control, nullptr) << ToUtf8(layout) << ": no control class for " << ToUtf8(element);
                for (int i = 0; i < node.GetAttributeCount(); ++i)
                    attributes.emplace_back(node.GetAttributeName(i), node.GetAttributeValue(i));
            }
            for (const auto& attribute : attributes) {
                control->ApplyAttribute(attribute.first.c_str(), attribute.second.c_str());
                EXPECT_EQ(control->ExtraAttribute(attribute.first.c_str()), nullptr)
                    << ToUtf8(layout) << ": <" << ToUtf8(element) << " " << ToUtf8(attribute.first) << ">";
            }
        });
    }
}

// ---- the images

TEST_F(InstallerSkin, EveryImageLoadsWithRoomForItsCorners)
{
    std::vector<std::wstring> strings(std::begin(kImagesNamedInCode), std::end(kImagesNamedInCode));
    for (const wchar_t* layout : kLayouts) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromFile(layout));
        std::vector<std::wstring> found = ImageStrings(doc);
        strings.insert(strings.end(), found.begin(), found.end());
    }
    ASSERT_GT(strings.size(), 60u);
    for (const std::wstring& text : strings) {
        UiImageSpec spec;
        ParseImageSpec(&spec, text.c_str(), nullptr, nullptr);
        std::wstring name = spec.name.GetData();
        EXPECT_EQ(name.find(L'/'), std::wstring::npos) << ToUtf8(name);
        Image image = Load(name);
        ASSERT_NE(image, nullptr) << "not in the archive: " << ToUtf8(name);
        // A nine-part image keeps a middle to stretch.
        EXPECT_LT(spec.corner.left + spec.corner.right, image->width) << ToUtf8(text);
        EXPECT_LT(spec.corner.top + spec.corner.bottom, image->height) << ToUtf8(text);
        // Sharper copies for 150 % and 200 % screens, of the matching size.
        for (const auto& variant : {std::make_pair(L"@1.5x.png", 1.5), std::make_pair(L"@2x.png", 2.0)}) {
            Image sharp = Load(Stem(name) + variant.first);
            ASSERT_NE(sharp, nullptr) << ToUtf8(Stem(name) + variant.first);
            EXPECT_EQ(sharp->width, static_cast<int>(image->width * variant.second + 0.5)) << ToUtf8(name);
            EXPECT_EQ(sharp->height, static_cast<int>(image->height * variant.second + 0.5)) << ToUtf8(name);
        }
    }
}

TEST_F(InstallerSkin, PageBackgroundsAreRoundCornerCards)
{
    for (int page = 1; page <= 4; ++page) {
        wchar_t name[96];
        swprintf(name, 96, L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_%02d.png", page);
        Image image = Load(name);
        ASSERT_NE(image, nullptr);
        const UiImageInfo& card = *image;
        for (POINT outside : {POINT{0, 0}, POINT{1, 1}, POINT{699, 0}, POINT{698, 418}, POINT{0, 419}})
            EXPECT_EQ(AlphaAt(card, outside.x, outside.y), 0) << page << " at " << outside.x << "," << outside.y;
        for (POINT inside : {POINT{10, 0}, POINT{0, 10}, POINT{350, 210}, POINT{689, 419}, POINT{699, 409}})
            EXPECT_EQ(AlphaAt(card, inside.x, inside.y), 255) << page << " at " << inside.x << "," << inside.y;
    }
}

TEST_F(InstallerSkin, ShadowsFadeOutwardAndLeaveTheWindowClear)
{
    Image white = Load(L"ke_appended\\shadow\\shadows_white.png");
    ASSERT_NE(white, nullptr);
    // Across the left border (stretched along the window's side): nothing at the rim,
    // never lighter toward the card, and a visible but soft shade where the card begins.
    for (int x = 1; x < 16; ++x)
        EXPECT_GE(AlphaAt(*white, x, 32), AlphaAt(*white, x - 1, 32)) << "x " << x;
    EXPECT_LT(AlphaAt(*white, 0, 32), 8);
    EXPECT_GT(AlphaAt(*white, 15, 32), 24);
    EXPECT_LT(AlphaAt(*white, 15, 32), 160);
    // The corner fades the same way along its diagonal.
    for (int d = 1; d < 16; ++d)
        EXPECT_GE(AlphaAt(*white, d, d), AlphaAt(*white, d - 1, d - 1)) << "d " << d;

    Image black = Load(L"ke_appended\\shadow\\shadow_black.png");
    ASSERT_NE(black, nullptr);
    EXPECT_LT(AlphaAt(*black, 0, 0), 8);
    EXPECT_GT(AlphaAt(*black, 12, 48), AlphaAt(*black, 2, 48));
    // Inside the window's place the shadow must not show through.
    for (POINT p : {POINT{17, 17}, POINT{30, 48}, POINT{48, 48}, POINT{78, 78}})
        EXPECT_EQ(AlphaAt(*black, p.x, p.y), 0) << p.x << "," << p.y;
}

TEST_F(InstallerSkin, ButtonStatesLookDifferent)
{
    const wchar_t* const kButtons[] = {
        L"DUDavov\\tarvek_video\\recording\\index\\icon_public_close.png",
        L"DUDavov\\tarvek_video\\recording\\index\\icon_public_hide.png",
        L"Install_and_uninstall\\icon_public_hide.png",
        L"Install_and_uninstall\\btn_return.png",
        L"DUDavov\\zel_video\\public\\Install uninstall\\btn_experience.png",
        L"DUDavov\\zel_video\\public\\Install uninstall\\btn_modify_path.png",
        L"ke_appended\\8.11.0.0\\general popup\\btn_popup_main.png",
        L"ke_appended\\8.11.0.0\\general popup\\btn_popup_secondary.png",
        L"ke_appended\\scrollbar\\scroll_thumb_v.png",
    };
    for (const wchar_t* normalName : kButtons) {
        Image normal = Load(normalName), hover = Load(Stem(normalName) + L"_hover.png"),
              press = Load(Stem(normalName) + L"_press.png");
        ASSERT_TRUE(normal && hover && press) << ToUtf8(normalName);
        ASSERT_EQ(hover->width, normal->width);
        ASSERT_EQ(press->height, normal->height);
        size_t bytes = static_cast<size_t>(normal->width) * normal->height * 4;
        EXPECT_NE(std::memcmp(normal->bits, hover->bits, bytes), 0) << ToUtf8(normalName) << " hover";
        EXPECT_NE(std::memcmp(normal->bits, press->bits, bytes), 0) << ToUtf8(normalName) << " press";
        EXPECT_NE(std::memcmp(hover->bits, press->bits, bytes), 0) << ToUtf8(normalName) << " hover/press";
    }
}

// The sharper copies carry the names the framework looks for at each screen scale;
// a scale without its own copy takes the next smaller one, then the plain image.
// Dots in folder names ("8.11.0.0") stay as they are: only the extension's counts.
TEST_F(InstallerSkin, ScreensAboveHundredPercentGetTheSharperCopies)
{
    const std::wstring button =
        L"file='DUDavov\\zel_video\\public\\Install uninstall\\btn_experience.png' corner='10,10,10,10'";
    const std::wstring popup = L"file='ke_appended\\8.11.0.0\\general popup\\btn_popup_main.png' corner='10,10,10,10'";
    const struct {
        const std::wstring& image;
        int dpi;
        const wchar_t* suffix;
        double scale;
    } kScreens[] = {
        {button, 96, L"\\btn_experience.png", 1.0},       {button, 120, L"\\btn_experience.png", 1.0},
        {button, 144, L"\\btn_experience@1.5x.png", 1.5}, {button, 168, L"\\btn_experience@1.5x.png", 1.5},
        {button, 192, L"\\btn_experience@2x.png", 2.0},   {button, 240, L"\\btn_experience@2x.png", 2.0},
        {popup, 144, L"\\8.11.0.0\\general popup\\btn_popup_main@1.5x.png", 1.5},
        {popup, 192, L"\\8.11.0.0\\general popup\\btn_popup_main@2x.png", 2.0},
    };
    for (const auto& screen : kScreens) {
        CPaintManagerUI manager;
        manager.SetDpi(screen.dpi);
        const UiImageSpec* spec = manager.GetImageSpec(screen.image.c_str());
        ASSERT_NE(spec, nullptr);
        std::wstring name = spec->name.GetData();
        std::wstring suffix = screen.suffix;
        ASSERT_GE(name.size(), suffix.size());
        EXPECT_EQ(name.substr(name.size() - suffix.size()), suffix) << screen.dpi << " dpi: " << ToUtf8(name);
        EXPECT_DOUBLE_EQ(spec->imageScale, screen.scale) << screen.dpi << " dpi: " << ToUtf8(name);
    }
}

#include "BuilderTestUtil.h"

#include "ui/controls/UiContainerInterface.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/core/UiSkinAlias.h"

#include <algorithm>

namespace BuilderTest {

namespace {

const wchar_t kHostClass[] = L"BuilderTestHost";

void RegisterHostClass()
{
    static bool registered = false;
    if (registered) return;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHostClass;
    registered = RegisterClassW(&wc) != 0;
}

IContainerUI* ContainerOf(CControlUI* control)
{
    return static_cast<IContainerUI*>(control->InterfaceFor(L"IContainer"));
}

template <class Base>
class Logging : public Base {
public:
    Logging(const char* tag, AttributeLog* log) : m_tag(tag), m_log(log) { ++m_log->alive; }
    ~Logging() override { --m_log->alive; }
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override
    {
        m_log->entries.push_back(m_tag + ":" + TestSupport::ToUtf8(name) + "=" + TestSupport::ToUtf8(value));
        Base::ApplyAttribute(name, value);
    }

private:
    std::string m_tag;
    AttributeLog* m_log;
};

} // namespace

HostWindow::HostWindow()
{
    RegisterHostClass();
    m_window = CreateWindowExW(0, kHostClass, L"builder", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    m_manager.reset(new CPaintManagerUI);
    m_manager->Init(m_window);
}

HostWindow::~HostWindow()
{
    m_manager.reset();
    if (m_window) DestroyWindow(m_window);
}

SIZE HostWindow::WindowSize() const
{
    RECT r = {};
    GetWindowRect(m_window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

std::string Describe(CControlUI* control)
{
    if (!control) return "null";
    std::string text = TestSupport::ToUtf8(control->TypeName());
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "UI") == 0) text.resize(text.size() - 2);
    const std::string name = TestSupport::ToUtf8(control->Name().GetData());
    if (!name.empty()) text += "#" + name;
    if (IContainerUI* box = ContainerOf(control)) {
        text += "(";
        for (int i = 0; i < box->ItemCount(); ++i) {
            if (i) text += " ";
            text += Describe(box->ItemAt(i));
        }
        text += ")";
    }
    return text;
}

int CountControls(CControlUI* control)
{
    if (!control) return 0;
    int count = 1;
    if (IContainerUI* box = ContainerOf(control))
        for (int i = 0; i < box->ItemCount(); ++i) count += CountControls(box->ItemAt(i));
    return count;
}

int TreeDepth(CControlUI* control)
{
    if (!control) return 0;
    int deepest = 0;
    if (IContainerUI* box = ContainerOf(control))
        for (int i = 0; i < box->ItemCount(); ++i) deepest = std::max(deepest, TreeDepth(box->ItemAt(i)));
    return deepest + 1;
}

std::string AttributeLog::Joined() const
{
    std::string text;
    for (const std::string& entry : entries) {
        if (!text.empty()) text += " ";
        text += entry;
    }
    return text;
}

CControlUI* LoggingCallback::MakeControl(const wchar_t* elementName)
{
    asked.push_back(elementName);
    if (wcscmp(elementName, L"LogBox") == 0) return new Logging<CContainerUI>("box", m_log);
    if (wcscmp(elementName, L"LogLeaf") == 0) return new Logging<CControlUI>("leaf", m_log);
    return nullptr;
}

SkinFolder::SkinFolder()
{
    CUiResourceLocation::Shutdown();
    CUiSkinAlias::Destroy();
    CUiResourceLocation::SetSkinFolder(m_folder.Path().c_str());
}

SkinFolder::~SkinFolder()
{
    CUiResourceLocation::Shutdown();
    CUiResourceLocation::SetSkinFolder(L"");
    CUiSkinAlias::Destroy();
}

bool SkinFolder::Write(const wchar_t* name, const std::string& utf8)
{
    return TestSupport::WriteFileBytes(m_folder.Path() + name, utf8);
}

} // namespace BuilderTest

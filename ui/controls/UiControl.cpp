#include "ui/controls/UiControl.h"

#include <cstdlib>

#include "ui/core/UiPaintManager.h"
#include "ui/core/UiSkinAlias.h"

namespace SkinUI {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI()
{
    if (OnDestroy.HasAny())
        OnDestroy.Raise(this);
    ClearExtraAttributes();
    if (m_manager)
        m_manager->ForgetControl(this);
}

// ---- identity

CUiString CControlUI::Name() const { return m_name; }
void CControlUI::AssignName(const wchar_t* name) { m_name = name ? name : L""; }
const wchar_t* CControlUI::TypeName() const { return L"ControlUI"; }

void* CControlUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"Control") == 0)
        return this;
    return nullptr;
}

UINT CControlUI::Flags() const { return m_controlFlags; }
void CControlUI::AssignFlags(UINT flags) { m_controlFlags = flags; }
UINT CControlUI::RawFlags() const { return m_controlFlags; }

bool CControlUI::Trigger() { return Shown() && Enabled(); }

CPaintManagerUI* CControlUI::Owner() const { return m_manager; }

void CControlUI::Attach(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    m_manager = manager;
    m_parent = parent;
    // Attributes are usually applied before the control meets its manager, so the
    // manager learns here that notifications must carry virtual window names.
    if (m_manager && !m_virtualWindow.IsEmpty())
        m_manager->SetUseVirtualWindowNames(true);
    if (init && m_parent)
        Initialize();
}

CControlUI* CControlUI::ParentControl() const { return m_parent; }

// ---- text

CUiString CControlUI::Text() const
{
    if (!m_resourceText)
        return m_text;
    return CUiSkinAlias::Instance().GetText(m_text);
}

void CControlUI::AssignText(const wchar_t* text)
{
    CUiString value(text ? text : L"");
    value.Replace(L"{\\n}", L"\n");
    if (m_text == value.GetData())
        return;
    m_text = value;
    Repaint();
}

bool CControlUI::TextIsResourceKey() const { return m_resourceText; }
void CControlUI::UseResourceText(bool use)
{
    if (m_resourceText == use)
        return;
    m_resourceText = use;
    Repaint();
}

bool CControlUI::DragAllowed() const { return m_dragEnabled; }
void CControlUI::AllowDrag(bool allow) { m_dragEnabled = allow; }
bool CControlUI::DropAllowed() const { return m_dropEnabled; }
void CControlUI::AllowDrop(bool allow) { m_dropEnabled = allow; }
bool CControlUI::RichEvents() const { return m_richEvent; }
void CControlUI::UseRichEvents(bool use) { m_richEvent = use; }

// ---- place and size

RECT CControlUI::OffsetInParent() const
{
    RECT rect = {0, 0, 0, 0};
    if (!m_parent)
        return rect;
    const RECT& parent = m_parent->m_itemRect;
    rect = m_itemRect;
    OffsetRect(&rect, -parent.left, -parent.top);
    return rect;
}

RECT CControlUI::Bounds() const { return m_itemRect; }
RECT& CControlUI::BoundsRef() { return m_itemRect; }

void CControlUI::Place(RECT rect, bool invalidate)
{
    if (rect.right < rect.left)
        rect.right = rect.left;
    if (rect.bottom < rect.top)
        rect.bottom = rect.top;
    RECT old = m_itemRect;
    if (IsRectEmpty(&old))
        old = rect;
    m_itemRect = rect;
    if (!m_manager)
        return;
    if (!m_sizeEventGuard) {
        m_sizeEventGuard = true;
        OnSize.Raise(this);
        m_sizeEventGuard = false;
    }
    m_updateNeeded = false;
    if (invalidate && Shown()) {
        RECT both;
        UnionRect(&both, &old, &rect);
        InvalidateClipped(both);
    }
}

void CControlUI::Shift(int dx, int dy)
{
    m_fixedXY.cx += dx;
    m_fixedXY.cy += dy;
    RequestParentLayout();
}

int CControlUI::BoundsWidth() const { return m_itemRect.right - m_itemRect.left; }
int CControlUI::BoundsHeight() const { return m_itemRect.bottom - m_itemRect.top; }
int CControlUI::LayoutWidth() const { return m_float ? BoundsWidth() : PresetWidth(); }
int CControlUI::LayoutHeight() const { return m_float ? BoundsHeight() : PresetHeight(); }
int CControlUI::LeftEdge() const { return m_itemRect.left; }
int CControlUI::TopEdge() const { return m_itemRect.top; }

RECT CControlUI::Padding() const { return ScaleRect(m_padding); }
void CControlUI::AssignPadding(RECT padding)
{
    m_padding = padding;
    RequestParentLayout();
}

SIZE CControlUI::FloatOffset() const { return ScaleSize(m_fixedXY); }
void CControlUI::AssignFloatOffset(SIZE offset)
{
    m_fixedXY = offset;
    RequestParentLayout();
}

SIZE CControlUI::PresetSize() const { return ScaleSize(m_fixedSize); }
int CControlUI::PresetWidth() const { return ScaleLength(m_fixedSize.cx); }
int CControlUI::PresetHeight() const { return ScaleLength(m_fixedSize.cy); }

void CControlUI::AssignPresetWidth(int width)
{
    if (width < 0)
        return;
    m_fixedSize.cx = width;
    RequestParentLayout();
}

void CControlUI::AssignPresetHeight(int height)
{
    if (height < 0)
        return;
    m_fixedSize.cy = height;
    RequestParentLayout();
}

namespace {
// Min/max setters: negative values and no-change leave everything alone.
bool StoreLimit(LONG& field, int value)
{
    if (value < 0 || field == value)
        return false;
    field = value;
    return true;
}
} // namespace

int CControlUI::MinimumWidth() const { return ScaleLength(m_minSize.cx); }
int CControlUI::MaximumWidth() const { return ScaleLength(m_maxSize.cx); }
int CControlUI::MinimumHeight() const { return ScaleLength(m_minSize.cy); }
int CControlUI::MaximumHeight() const { return ScaleLength(m_maxSize.cy); }
void CControlUI::AssignMinimumWidth(int width)
{
    if (StoreLimit(m_minSize.cx, width))
        RequestParentLayout();
}
void CControlUI::AssignMaximumWidth(int width)
{
    if (StoreLimit(m_maxSize.cx, width))
        RequestParentLayout();
}
void CControlUI::AssignMinimumHeight(int height)
{
    if (StoreLimit(m_minSize.cy, height))
        RequestParentLayout();
}
void CControlUI::AssignMaximumHeight(int height)
{
    if (StoreLimit(m_maxSize.cy, height))
        RequestParentLayout();
}

UiFloatPercent CControlUI::AnchorFractions() const { return m_floatPercent; }
void CControlUI::AssignAnchorFractions(UiFloatPercent percent)
{
    m_floatPercent = percent;
    RequestParentLayout();
}

void CControlUI::AssignFloatAlignment(UINT align)
{
    m_floatAlign = align;
    RequestParentLayout();
}
UINT CControlUI::FloatAlignment() const { return m_floatAlign; }

// ---- tooltip, shortcut, user data

CUiString CControlUI::Hint() const { return m_tooltip; }
void CControlUI::AssignHint(const wchar_t* text)
{
    m_tooltip = text ? text : L"";
    m_tooltip.Replace(L"<n>", L"\r\n");
}
void CControlUI::AssignHintWidth(int width) { m_tooltipWidth = width; }
int CControlUI::HintWidth() const { return ScaleLength(m_tooltipWidth); }

wchar_t CControlUI::AccessKey() const { return m_shortcut; }
void CControlUI::AssignAccessKey(wchar_t key) { m_shortcut = key; }
bool CControlUI::ContextMenuEnabled() const { return m_menuUsed; }
void CControlUI::EnableContextMenu(bool enable) { m_menuUsed = enable; }
CUiString CControlUI::UserText() const { return m_userData; }
void CControlUI::AssignUserText(const wchar_t* text) { m_userData = text ? text : L""; }
UINT_PTR CControlUI::Cookie() const { return m_tag; }
void CControlUI::AssignCookie(UINT_PTR cookie) { m_tag = cookie; }

// ---- visibility and input flags

bool CControlUI::OwnVisible() const { return m_visible; }
bool CControlUI::Shown() const { return m_visible && m_internVisible; }

void CControlUI::Show(bool visible)
{
    if (m_visible == visible)
        return;
    const bool wasShown = Shown();
    m_visible = visible;
    m_focused = false;
    if (!visible && m_manager && m_manager->GetFocus() == this)
        m_manager->SetFocus(nullptr);
    if (Shown() != wasShown)
        RequestParentLayout();
}

void CControlUI::ShowByParent(bool visible)
{
    m_internVisible = visible;
    if (!visible && m_manager && m_manager->GetFocus() == this)
        m_manager->SetFocus(nullptr);
}

bool CControlUI::Enabled() const { return m_enabled; }
void CControlUI::Enable(bool enable)
{
    if (m_enabled == enable)
        return;
    m_enabled = enable;
    Repaint();
}

bool CControlUI::MouseEnabled() const { return m_mouseEnabled; }
void CControlUI::EnableMouse(bool enable) { m_mouseEnabled = enable; }
bool CControlUI::KeyboardEnabled() const { return m_keyboardEnabled; }
void CControlUI::EnableKeyboard(bool enable) { m_keyboardEnabled = enable; }
bool CControlUI::HasFocus() const { return m_focused; }
void CControlUI::TakeFocus()
{
    if (m_manager)
        m_manager->SetFocus(this);
}

bool CControlUI::Floating() const { return m_float; }
void CControlUI::MakeFloating(bool floating)
{
    if (m_float == floating)
        return;
    m_float = floating;
    RequestParentLayout();
}

// ---- life

void CControlUI::Initialize()
{
    OnInitialize();
    OnInit.Raise(this);
}

void CControlUI::OnInitialize() {}

SIZE CControlUI::MeasureSize(SIZE /*available*/) { return ScaleSize(m_fixedSize); }

// ---- invalidation and layout requests

void CControlUI::Repaint()
{
    if (!m_manager || !Shown())
        return;
    RECT rect = m_itemRect;
    for (CControlUI* p = m_parent; p; p = p->m_parent) {
        if (!IntersectRect(&rect, &rect, &p->m_itemRect))
            return;
    }
    if (!IsRectEmpty(&rect))
        m_manager->Invalidate(rect);
}

void CControlUI::InvalidateClipped(RECT rect)
{
    for (CControlUI* p = m_parent; p; p = p->m_parent) {
        if (!p->Shown() || !IntersectRect(&rect, &rect, &p->m_itemRect))
            return;
    }
    if (!IsRectEmpty(&rect))
        m_manager->Invalidate(rect);
}

void CControlUI::RequestLayout()
{
    if (!Shown())
        return;
    m_updateNeeded = true;
    Repaint();
    if (m_manager)
        m_manager->MarkForUpdate();
}

void CControlUI::RequestParentLayout()
{
    if (m_parent) {
        m_parent->RequestLayout();
        m_parent->Repaint();
    } else {
        RequestLayout();
    }
    if (m_manager)
        m_manager->MarkForUpdate();
}

// ---- custom attributes

bool CControlUI::AddExtraAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !*name || !value || !*value)
        return false;
    if (m_extraAttributes.Find(name, false))
        return false;
    CUiString* copy = new CUiString(value);
    if (!m_extraAttributes.Insert(name, copy)) {
        delete copy;
        return false;
    }
    return true;
}

const wchar_t* CControlUI::ExtraAttribute(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    auto* value = static_cast<CUiString*>(m_extraAttributes.Find(name));
    return value ? value->GetData() : nullptr;
}

bool CControlUI::RemoveExtraAttribute(const wchar_t* name)
{
    if (!name)
        return false;
    auto* value = static_cast<CUiString*>(m_extraAttributes.Find(name, false));
    if (!value)
        return false;
    delete value;
    return m_extraAttributes.Remove(name);
}

void CControlUI::ClearExtraAttributes()
{
    for (int i = 0; i < m_extraAttributes.GetSize(); ++i)
        delete static_cast<CUiString*>(m_extraAttributes.Find(m_extraAttributes.GetAt(i), false));
    m_extraAttributes.RemoveAll();
    m_extraAttributes.Resize(83);
}

// ---- colours, images, borders

namespace {
template <class T>
bool Store(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
bool StoreText(CUiString& field, const wchar_t* value)
{
    if (!value)
        value = L"";
    if (field == value)
        return false;
    field = value;
    return true;
}
} // namespace

void CControlUI::AssignBkColor(DWORD color)
{
    if (Store(m_bkColor1, color))
        Repaint();
}
void CControlUI::AssignBkColor2(DWORD color)
{
    if (Store(m_bkColor2, color))
        Repaint();
}
void CControlUI::AssignBkColor3(DWORD color)
{
    if (Store(m_bkColor3, color))
        Repaint();
}
void CControlUI::AssignForeColor(DWORD color)
{
    if (Store(m_foreColor, color))
        Repaint();
}
void CControlUI::AssignBorderColor(DWORD color)
{
    if (Store(m_borderColor, color))
        Repaint();
}
void CControlUI::AssignFocusBorderColor(DWORD color)
{
    if (Store(m_focusBorderColor, color))
        Repaint();
}
void CControlUI::AssignColorHsl(bool hsl)
{
    if (Store(m_colorHsl, hsl))
        Repaint();
}
void CControlUI::AssignBkImage(const wchar_t* image)
{
    if (StoreText(m_bkImage, image))
        Repaint();
}
void CControlUI::AssignForeImage(const wchar_t* image)
{
    if (StoreText(m_foreImage, image))
        Repaint();
}
void CControlUI::AssignGradientDirection(const wchar_t* direction)
{
    if (StoreText(m_gradient, direction))
        Repaint();
}

int CControlUI::BorderSize() const { return ScaleLength(m_borderSize); }
void CControlUI::AssignBorderSize(int size)
{
    m_borderSize = size;
    Repaint();
}
RECT CControlUI::SideBorders() const { return ScaleRect(m_sideBorders); }
void CControlUI::AssignSideBorders(RECT sizes)
{
    m_sideBorders = sizes;
    Repaint();
}
void CControlUI::AssignLeftBorderSize(int size)
{
    m_sideBorders.left = size;
    Repaint();
}
void CControlUI::AssignTopBorderSize(int size)
{
    m_sideBorders.top = size;
    Repaint();
}
void CControlUI::AssignRightBorderSize(int size)
{
    m_sideBorders.right = size;
    Repaint();
}
void CControlUI::AssignBottomBorderSize(int size)
{
    m_sideBorders.bottom = size;
    Repaint();
}
SIZE CControlUI::BorderRound() const { return ScaleSize(m_borderRound); }
void CControlUI::AssignBorderRound(SIZE round)
{
    m_borderRound = round;
    Repaint();
}
void CControlUI::AssignBorderStyle(int style)
{
    m_borderStyle = style;
    Repaint();
}

// ---- virtual window names

CUiString CControlUI::VirtualWindowName() const
{
    for (const CControlUI* c = this; c; c = c->m_parent) {
        if (!c->m_virtualWindow.IsEmpty())
            return c->m_virtualWindow;
    }
    return CUiString();
}

void CControlUI::AssignVirtualWindowName(const wchar_t* name)
{
    m_virtualWindow = name ? name : L"";
    if (m_manager && !m_virtualWindow.IsEmpty())
        m_manager->SetUseVirtualWindowNames(true);
}

// ---- scaling

namespace {
// Skin lengths beyond a million pixels are nonsense; clamping them on the way
// out keeps every sum a layout makes of a few of them far inside int.
constexpr int kMaxLength = 1 << 20;
int Sane(LONG value)
{
    return value > kMaxLength ? kMaxLength : value < -kMaxLength ? -kMaxLength : static_cast<int>(value);
}
} // namespace

int CControlUI::ScaleLength(int value) const
{
    value = Sane(value);
    return m_manager ? m_manager->Scale(value) : value;
}

SIZE CControlUI::ScaleSize(SIZE size) const
{
    return SIZE{ScaleLength(size.cx), ScaleLength(size.cy)};
}

RECT CControlUI::ScaleRect(const RECT& rect) const
{
    // Padding and border widths are lengths, not positions: scale each one.
    return RECT{ScaleLength(rect.left), ScaleLength(rect.top), ScaleLength(rect.right),
                ScaleLength(rect.bottom)};
}

} // namespace SkinUI

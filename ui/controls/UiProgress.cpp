#include "ui/controls/UiProgress.h"

#include "ui/controls/UiAttributeTable.h"
#include "ui/controls/UiLayoutMath.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiColor.h"

namespace SkinUI {

CProgressUI::CProgressUI()
{
    m_textStyle = DT_SINGLELINE | DT_CENTER;
    m_fixedSize.cy = 12;
}

const wchar_t* CProgressUI::TypeName() const { return L"ProgressUI"; }

void* CProgressUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"Progress") == 0)
        return this;
    return CLabelUI::InterfaceFor(name);
}

void CProgressUI::AssignHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    Repaint();
}

void CProgressUI::AssignStretchFore(bool stretch)
{
    if (m_stretchFore == stretch)
        return;
    m_stretchFore = stretch;
    Repaint();
}

void CProgressUI::AssignMinimum(int minimum)
{
    m_min = minimum;
    Repaint();
}

void CProgressUI::AssignMaximum(int maximum)
{
    m_max = maximum;
    Repaint();
}

void CProgressUI::AssignValue(int value)
{
    if (value == m_value || value < m_min || value > m_max)
        return;
    m_value = value;
    Repaint();
    UpdatePercentText();
}

void CProgressUI::ShowPercentText(bool show)
{
    m_showText = show;
    if (!show)
        AssignText(L"");
    else
        UpdatePercentText();
}

void CProgressUI::UpdatePercentText()
{
    if (!m_showText)
        return;
    // An empty range shows nothing rather than a division by zero.
    const double span = static_cast<double>(m_max) - m_min;
    const double percent = span > 0 ? (static_cast<double>(m_value) - m_min) * 100.0 / span : 0.0;
    CUiString text;
    text.Format(L"%.0f%%", percent);
    AssignText(text);
}

void CProgressUI::Normalize()
{
    const UiProgressValues v = NormalizeProgress(UiProgressValues{m_min, m_max, m_value});
    m_min = v.minimum;
    m_max = v.maximum;
    m_value = v.value;
}

void CProgressUI::DrawForeColor(HDC dc)
{
    Normalize();
    if (m_foreColor == 0)
        return;
    const RECT fill =
        ProgressFillRect(m_itemRect, UiProgressValues{m_min, m_max, m_value}, m_horizontal);
    FillColor(dc, fill, TintColor(m_foreColor));
}

void CProgressUI::DrawForeImage(HDC dc)
{
    Normalize();
    if (m_foreImage.IsEmpty())
        return;
    const RECT span =
        ProgressForeSpan(m_itemRect, UiProgressValues{m_min, m_max, m_value}, m_horizontal);
    // The span is in device pixels; the image string's dest and source are read
    // as skin pixels and scaled when parsed, so they are written back unscaled.
    const int percent = m_manager && m_manager->GetScale() > 0 ? m_manager->GetScale() : 100;
    auto design = [percent](LONG v) { return static_cast<int>(static_cast<long long>(v) * 100 / percent); };
    const int x0 = 0, y0 = design(span.top), x1 = design(span.right), y1 = design(span.bottom);
    if (m_stretchFore)
        m_foreImageModifier.Format(L"dest='%d,%d,%d,%d'", x0, y0, x1, y1);
    else
        m_foreImageModifier.Format(L"dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", x0, y0, x1, y1, x0,
                                   y0, x1, y1);
    PaintImage(dc, m_foreImage, m_foreImageModifier);
}

namespace {
using P = CProgressUI;
const UiAttribute<P> kProgressAttributes[] = {
    {L"hor", [](P& c, const wchar_t* v) { c.AssignHorizontal(UiParse::Bool(v)); }},
    {L"min", [](P& c, const wchar_t* v) { c.AssignMinimum(UiParse::Int(v)); }},
    {L"max", [](P& c, const wchar_t* v) { c.AssignMaximum(UiParse::Int(v)); }},
    {L"value", [](P& c, const wchar_t* v) { c.AssignValue(UiParse::Int(v)); }},
    {L"isstretchfore", [](P& c, const wchar_t* v) { c.AssignStretchFore(UiParse::Bool(v)); }},
};
} // namespace

void CProgressUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !ApplyFromTable(kProgressAttributes, *this, name, value))
        CLabelUI::ApplyAttribute(name, value);
}

} // namespace SkinUI

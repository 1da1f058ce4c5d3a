#pragma once
// COptionUI: a button that stays selected, alone (toggling on each click) or in a
// group of the manager where selecting one unselects the others. CCheckBoxUI is
// an option that can toggle on the press itself (auto check).
#include "ui/controls/UiButton.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
public:
    COptionUI();
    ~COptionUI() override;

    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    void Attach(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    bool Trigger() override;
    void Enable(bool enable = true) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    void DrawBackColor(HDC dc) override;
    void DrawStateImage(HDC dc) override;
    void DrawForeImage(HDC dc) override;
    void DrawLabel(HDC dc) override;

    // ---- virtual operations added, in slot order
    virtual const CUiString& SelectedStateImage() const;
    virtual void AssignSelectedStateImage(const wchar_t* image);
    virtual void Select(bool selected, bool notify = true);

    bool Selected() const { return m_selected; }
    const CUiString& Group() const { return m_groupName; }
    void AssignGroup(const wchar_t* group);

    int selectedFont = -1;
    DWORD selectedBkColor = 0, selectedTextColor = 0, selectedHotTextColor = 0,
          selectedPushedTextColor = 0;
    CUiString selectedImage, selectedHotImage, selectedPushedImage, selectedDisabledImage,
        selectedForeImage;
    int selectedStateCount = 0;

protected:
    // wParam of "selectchanged".
    virtual WPARAM SelectChangedParam() const { return 0; }

    bool m_selected = false;
    CUiString m_groupName;
    CUiString m_selectedStateImage;
};

class CCheckBoxUI : public COptionUI {
public:
    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    void ProcessEvent(UiEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

    bool AutoCheck() const { return m_autoCheck; }
    void AssignAutoCheck(bool autoCheck) { m_autoCheck = autoCheck; }

protected:
    WPARAM SelectChangedParam() const override { return m_selected ? 1 : 0; }

private:
    bool m_autoCheck = false;
};

} // namespace SkinUI

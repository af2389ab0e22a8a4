#pragma once

// The creation pages built on CCCDlg: gender and class first, then (after
// the attribute and skill pages) head, colours and name, which starts play.

#include "dialogs/cc_dlg.h"
#include "rules/character_creation.h"

#include <memory>
#include <string>
#include <vector>

namespace VARDUI
{
class CUIColorButton;
class CUIGroup;
class CUIStaticText;
class CUITextButton;
} // namespace VARDUI

class CCCGenderDlg : public CCCDlg
{
public:
    static constexpr int kMaleId = 1;
    static constexpr int kFemaleId = 2;
    static constexpr int kCancelId = 3;

    using CCCDlg::CCCDlg;
    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;

protected:
    void OpenNextPage(CGameApp* app) override;
};

class CCCClassDlg : public CCCDlg
{
public:
    static constexpr int kCancelId = 1;
    // Plus the class row.
    static constexpr int kClassBaseId = 100;

    using CCCDlg::CCCDlg;
    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;

protected:
    void OpenNextPage(CGameApp* app) override;
};

class CCCHeadDlg : public CCCDlg
{
public:
    static constexpr int kCancelId = 2;
    // Plus the head's place among its gender's heads.
    static constexpr int kHeadBaseId = 100;

    using CCCDlg::CCCDlg;
    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;

protected:
    void OpenNextPage(CGameApp* app) override;
};

// A framed column of four rows of four swatches of the palette, ids base to
// base + 15; the swatches go into the vector in palette order, the first
// highlighted.
std::shared_ptr<VARDUI::CUIGroup> BuildPaletteGroup(const std::string& caption,
                                                    std::vector<VARDUI::CUIColorButton*>& swatches,
                                                    int baseId,
                                                    const VARD::CreationPalette& palette);

class CCCColorsDlg : public CCCDlg
{
public:
    static constexpr int kDoneId = 1;
    static constexpr int kCancelId = 2;
    static constexpr int kHairBaseId = 100;
    static constexpr int kSkinBaseId = 200;
    static constexpr int kTrimBaseId = 300;

    CCCColorsDlg(CGameApp* app, VARD::CEngine* engine, std::shared_ptr<VARD::CActor> actor);
    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;

    int GetHairChoice() const { return m_HairChoice; }
    int GetSkinChoice() const { return m_SkinChoice; }
    int GetTrimChoice() const { return m_TrimChoice; }

protected:
    void OpenNextPage(CGameApp* app) override;

private:
    // A swatch click in one palette: the highlight moves and the click sounds.
    void Choose(std::vector<VARDUI::CUIColorButton*>& swatches, int& choice, int index);

    CGameApp* m_App;
    std::vector<VARDUI::CUIColorButton*> m_HairSwatches;
    std::vector<VARDUI::CUIColorButton*> m_SkinSwatches;
    std::vector<VARDUI::CUIColorButton*> m_TrimSwatches;
    int m_HairChoice = 0;
    int m_SkinChoice = 0;
    int m_TrimChoice = 0;
};

class CCCNameDlg : public CCCDlg
{
public:
    static constexpr int kDoneId = 1;
    static constexpr int kCancelId = 2;

    using CCCDlg::CCCDlg;
    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    // Esc cancels, ENTER finishes a name, every other key edits it.
    int OnKey(int virtualKey, int shiftDown) override;

    // The name as typed so far.
    std::string GetTypedName() const;

protected:
    void OpenNextPage(CGameApp* app) override;

private:
    // The name as it will be kept: blanks alone make no name.
    bool HasName() const;

    std::shared_ptr<VARDUI::CUIStaticText> m_NameBox;
    VARDUI::CUITextButton* m_DoneButton = nullptr;
};

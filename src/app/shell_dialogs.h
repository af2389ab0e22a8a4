#pragma once

// The dialogs the shell opens. Until each gets its own page they show their
// title and a "Done" button, and close with it (or ESC or ENTER). The real
// pages share these names, so the stand-ins keep to a namespace of their own
// and the shell reaches them only through the factory.

#include "app/dialog_factory.h"
#include "app/vard_dlg.h"
#include "app/win_dlg.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace VARD
{
class CActor;
class CArea;
class CEngine;
class CTalkEvent;
} // namespace VARD

// A dialog showing its title and a "Done" button.
class CPlainDlg : public CVARDDlg
{
public:
    static constexpr int kDoneId = 1;

    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    void OnClosed(CGameApp* app) override;
};

namespace PlainDialogs
{

class CSplashDlg : public CPlainDlg
{
public:
    CSplashDlg() = default;
    std::string GetTitle() override;
    // Any key leads on to the start screen.
    int OnKey(int virtualKey, int shiftDown) override;
    void OnClosed(CGameApp* app) override;
};

class CStartDlg : public CPlainDlg
{
public:
    CStartDlg() = default;
    std::string GetTitle() override;
};

class CCCGenderDlg : public CPlainDlg
{
public:
    CCCGenderDlg(VARD::CEngine* engine, std::shared_ptr<VARD::CActor> character);
    std::string GetTitle() override;

private:
    VARD::CEngine* m_Engine;
    std::shared_ptr<VARD::CActor> m_Character;
};

class CCCNameDlg : public CPlainDlg
{
public:
    CCCNameDlg(VARD::CEngine* engine, std::shared_ptr<VARD::CActor> character);
    std::string GetTitle() override;

private:
    VARD::CEngine* m_Engine;
    std::shared_ptr<VARD::CActor> m_Character;
};

class CTextDlg : public CPlainDlg
{
public:
    CTextDlg(std::string title, std::string text, std::shared_ptr<VARD::CActor> actor);
    std::string GetTitle() override;
    const std::string& GetText() const { return m_Text; }

private:
    std::string m_Title;
    std::string m_Text;
    std::shared_ptr<VARD::CActor> m_Actor;
};

class CVARDGameMenuDlg : public CPlainDlg
{
public:
    CVARDGameMenuDlg() = default;
    std::string GetTitle() override;
};

class CVARDVolumeDlg : public CPlainDlg
{
public:
    explicit CVARDVolumeDlg(std::uint32_t volume);
    std::string GetTitle() override;

private:
    std::int32_t m_Volume;
};

class CWizardDlg : public CPlainDlg
{
public:
    CWizardDlg() = default;
    std::string GetTitle() override;
};

// The pages of one party member; the title is the member's name and the
// page's suffix.
class CActorPageDlg : public CPlainDlg
{
public:
    CActorPageDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor, std::string suffix);
    std::string GetTitle() override;

protected:
    CGameApp* m_App;
    std::shared_ptr<VARD::CActor> m_Actor;

private:
    std::string m_Suffix;
};

class CActorInfoDlg : public CActorPageDlg
{
public:
    CActorInfoDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor);
};

class CActorInvDlg : public CActorPageDlg
{
public:
    CActorInvDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor);
};

class CActorSpellsDlg : public CActorPageDlg
{
public:
    CActorSpellsDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor);
};

class CActorJournalDlg : public CActorPageDlg
{
public:
    CActorJournalDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor);
};

class CActionDlg : public CActorPageDlg
{
public:
    CActionDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor, int slot);

private:
    int m_Slot;
};

class CVARDMapDlg : public CPlainDlg
{
public:
    explicit CVARDMapDlg(VARD::CArea* area);
    std::string GetTitle() override;

private:
    VARD::CArea* m_Area;
};

class CVARDMsgDlg : public CPlainDlg
{
public:
    explicit CVARDMsgDlg(const std::deque<std::string>* history);
    std::string GetTitle() override;

private:
    const std::deque<std::string>* m_History;
};

class CMonsterDlg : public CPlainDlg
{
public:
    explicit CMonsterDlg(std::shared_ptr<VARD::CActor> actor);
    std::string GetTitle() override;

private:
    std::shared_ptr<VARD::CActor> m_Actor;
};

class CTalkDlg : public CPlainDlg
{
public:
    CTalkDlg(std::shared_ptr<VARD::CTalkEvent> event, CGameApp* app);
    std::string GetTitle() override;

private:
    std::shared_ptr<VARD::CTalkEvent> m_Event;
    CGameApp* m_App;
};

} // namespace PlainDialogs

// Makes the stand-in pages.
class CPlainDialogFactory : public CDialogFactory
{
public:
    std::shared_ptr<CVARDDlg> MakeSplash() override;
    std::shared_ptr<CVARDDlg> MakeStart() override;
    std::shared_ptr<CVARDDlg> MakeCreationGender(VARD::CEngine* engine,
                                                 std::shared_ptr<VARD::CActor> character) override;
    std::shared_ptr<CVARDDlg> MakeCreationName(VARD::CEngine* engine,
                                               std::shared_ptr<VARD::CActor> character) override;
    std::shared_ptr<CVARDDlg> MakeText(std::string title, std::string text,
                                       std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeGameMenu() override;
    std::shared_ptr<CVARDDlg> MakeVolume(std::uint32_t percent) override;
    std::shared_ptr<CVARDDlg> MakeConsole() override;
    std::shared_ptr<CVARDDlg> MakeActorInfo(CGameApp* app,
                                            std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeActorInventory(CGameApp* app,
                                                 std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeActorAbilities(CGameApp* app,
                                                 std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeActorJournal(CGameApp* app,
                                               std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeActionEditor(CGameApp* app, std::shared_ptr<VARD::CActor> actor,
                                               int slot) override;
    std::shared_ptr<CVARDDlg> MakeMap(VARD::CArea* area) override;
    std::shared_ptr<CVARDDlg> MakeMessageLog(const std::deque<std::string>* log) override;
    std::shared_ptr<CVARDDlg> MakeMonster(std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeTalk(std::shared_ptr<VARD::CTalkEvent> event,
                                       CGameApp* app) override;
};

#pragma once

#include "app/shell_dialogs.h"

// The factory the game installs: the real pages where they exist, the
// stand-in pages for the rest.
class CGameDialogFactory : public CPlainDialogFactory
{
public:
    std::shared_ptr<CVARDDlg> MakeSplash() override;
    std::shared_ptr<CVARDDlg> MakeStart() override;
    std::shared_ptr<CVARDDlg> MakeGameMenu() override;
    std::shared_ptr<CVARDDlg> MakeVolume(std::uint32_t percent) override;
    std::shared_ptr<CVARDDlg> MakeConsole() override;
    std::shared_ptr<CVARDDlg> MakeMap(VARD::CArea* area) override;
    std::shared_ptr<CVARDDlg> MakeMessageLog(const std::deque<std::string>* log) override;
    std::shared_ptr<CVARDDlg> MakeCreationGender(VARD::CEngine* engine,
                                                 std::shared_ptr<VARD::CActor> character) override;
    std::shared_ptr<CVARDDlg> MakeCreationName(VARD::CEngine* engine,
                                               std::shared_ptr<VARD::CActor> character) override;
    std::shared_ptr<CVARDDlg> MakeActorInfo(CGameApp* app,
                                            std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeActorAbilities(CGameApp* app,
                                                 std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeActorInventory(CGameApp* app,
                                                 std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeActorJournal(CGameApp* app,
                                               std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeActionEditor(CGameApp* app, std::shared_ptr<VARD::CActor> actor,
                                               int slot) override;
    std::shared_ptr<CVARDDlg> MakeText(std::string title, std::string text,
                                       std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeMonster(std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeMonsterSeenBy(CGameApp* app,
                                                std::shared_ptr<VARD::CActor> actor) override;
    std::shared_ptr<CVARDDlg> MakeTalk(std::shared_ptr<VARD::CTalkEvent> event,
                                       CGameApp* app) override;
};

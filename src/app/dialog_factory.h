#pragma once

// Makes the dialogs the shell opens. The shell holds one and never names a
// dialog class itself, so the dialogs can live above it; the factory the
// program installs makes the real pages.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>

namespace VARD
{
class CActor;
class CArea;
class CEngine;
class CTalkEvent;
} // namespace VARD

class CGameApp;
class CVARDDlg;

class CDialogFactory
{
public:
    virtual ~CDialogFactory() = default;

    virtual std::shared_ptr<CVARDDlg> MakeSplash() = 0;
    virtual std::shared_ptr<CVARDDlg> MakeStart() = 0;
    // The first and the last page of character creation.
    virtual std::shared_ptr<CVARDDlg>
    MakeCreationGender(VARD::CEngine* engine, std::shared_ptr<VARD::CActor> character) = 0;
    virtual std::shared_ptr<CVARDDlg> MakeCreationName(VARD::CEngine* engine,
                                                       std::shared_ptr<VARD::CActor> character) = 0;
    virtual std::shared_ptr<CVARDDlg> MakeText(std::string title, std::string text,
                                               std::shared_ptr<VARD::CActor> actor) = 0;
    virtual std::shared_ptr<CVARDDlg> MakeGameMenu() = 0;
    virtual std::shared_ptr<CVARDDlg> MakeVolume(std::uint32_t percent) = 0;
    virtual std::shared_ptr<CVARDDlg> MakeConsole() = 0;
    virtual std::shared_ptr<CVARDDlg> MakeActorInfo(CGameApp* app,
                                                    std::shared_ptr<VARD::CActor> actor) = 0;
    virtual std::shared_ptr<CVARDDlg> MakeActorInventory(CGameApp* app,
                                                         std::shared_ptr<VARD::CActor> actor) = 0;
    virtual std::shared_ptr<CVARDDlg> MakeActorAbilities(CGameApp* app,
                                                         std::shared_ptr<VARD::CActor> actor) = 0;
    virtual std::shared_ptr<CVARDDlg> MakeActorJournal(CGameApp* app,
                                                       std::shared_ptr<VARD::CActor> actor) = 0;
    virtual std::shared_ptr<CVARDDlg>
    MakeActionEditor(CGameApp* app, std::shared_ptr<VARD::CActor> actor, int slot) = 0;
    virtual std::shared_ptr<CVARDDlg> MakeMap(VARD::CArea* area) = 0;
    virtual std::shared_ptr<CVARDDlg> MakeMessageLog(const std::deque<std::string>* log) = 0;
    virtual std::shared_ptr<CVARDDlg> MakeMonster(std::shared_ptr<VARD::CActor> actor) = 0;
    // A creature as the party of the app's game sees it; by default as above.
    virtual std::shared_ptr<CVARDDlg> MakeMonsterSeenBy(CGameApp* app,
                                                        std::shared_ptr<VARD::CActor> actor)
    {
        (void)app;
        return MakeMonster(std::move(actor));
    }
    virtual std::shared_ptr<CVARDDlg> MakeTalk(std::shared_ptr<VARD::CTalkEvent> event,
                                               CGameApp* app) = 0;
};

#include "dialogs/cc_pages.h"
#include "dialogs/game_dialog_factory.h"

std::shared_ptr<CVARDDlg>
CGameDialogFactory::MakeCreationGender(VARD::CEngine* engine,
                                       std::shared_ptr<VARD::CActor> character)
{
    return std::make_shared<CCCGenderDlg>(engine, std::move(character));
}

std::shared_ptr<CVARDDlg>
CGameDialogFactory::MakeCreationName(VARD::CEngine* engine, std::shared_ptr<VARD::CActor> character)
{
    return std::make_shared<CCCNameDlg>(engine, std::move(character));
}

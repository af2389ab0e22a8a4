#include "app/vard_audio.h"

#include "common/data_file.h"
#include "platform/audio.h"

CVARDAudio2::CVARDAudio2(std::shared_ptr<VARDCommon::CDataFileFactory> factory,
                         std::unique_ptr<audio::Device> output)
    : m_Factory(std::move(factory)), m_Output(std::move(output))
{
}

CVARDAudio2::~CVARDAudio2() = default;

bool CVARDAudio2::IsSilent() const
{
    return !m_Output || m_Output->IsSilent();
}

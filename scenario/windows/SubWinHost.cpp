#include "scenario/windows/SubWinHost.h"

#include "shell/GameGlobals.h"
#include "shell/form/TGameForm.h"
#include "shell/sound/GameSoundChannels.h"

namespace {

class GameFormHost : public SubWinHost {
public:
    void PlaySystemSE(const AnsiString& name, TFileMan* files) override
    {
        if (GameForm != nullptr && GameForm->SoundChannels() != nullptr)
            GameForm->SoundChannels()->PlaySystemSE(name, files);
    }
    void SetMousePos(int x, int y) override
    {
        if (GameForm != nullptr)
            GameForm->SetMousePos(x, y);
    }
};

} // namespace

SubWinHost& GameFormSubWinHost()
{
    static GameFormHost host;
    return host;
}

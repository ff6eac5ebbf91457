// TNameEntryMenu: the ranking-name entry after a cleared song with a new best score: a grid of 46
// letters picked with the mouse, with the cursor keys and Enter, or typed, a backspace and an end
// button, the score, and the name of up to four characters drawn with the ranking alphabet.
#pragma once

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Component.h"
#include "shell/helpers/PanelLayout.h"

#include <array>
#include <cstdint>

class RankingName;
class ShellServices;
class TFileMan;
class TXeRGBBits;
class TXeRGBBtn;
class TXeRGBNum;

// Logic thread: the handlers run inside frames, from the form's input replay.
class TNameEntryMenu : public TComponent {
public:
    // Letters 0 to 44 have alphabet cells; 45 is the blank.
    static constexpr int kLetters = 46;
    static constexpr int kBlank = 45;
    static constexpr std::size_t kMaxName = 4;
    // The one thread result, from BtnEnd.
    static constexpr std::int32_t kResultEnd = 0;

    // The services must outlive the menu.
    TNameEntryMenu(TComponent* owner, ShellServices& services);
    // Finalizes when created.
    ~TNameEntryMenu() override;

    // Loads the ranking alphabet ("NameAlphabet.png"; false at once, nothing made, when it does not
    // load), creates the panel tree with its pictures, the name's picture and the score digits.
    bool Initialize(TFileMan* files);
    // Shows the score, empties the name, clears the hover and draws the empty name; true when the
    // menu is set up (Initialize succeeded), false otherwise.
    bool Begin(std::int32_t score);
    // Frees the alphabet, the name's picture and the score digits and releases the panel tree.
    void Finalize();

    bool Created() const { return FCreated; }
    // The name entered so far, 0 to 4 characters; kept until the next Begin.
    const AnsiString& Name() const { return FName; }
    // The letter under the mouse or the selection frame, -1 for none.
    std::int32_t HoveredLetter() const { return FHovered; }
    // The 640 x 480 panel the opener attaches; it takes the keyboard.
    TXeRGBPanel* NameEntryPanel() const { return FNameEntryPanel; }
    // The panel of that name; std::out_of_range for a name not in the table.
    TXeRGBPanel* FindPanel(const AnsiString& name) const { return FLayout[name]; }
    const RankingName* Ranking() const { return FRanking; }
    // The letter's text: one character, the blank for 45.
    static char LetterText(int letter);

private:
    void WireEvents();
    void PanelCreate(TXeRGBPanel* panel);
    void PanelRelease(TXeRGBPanel* panel);
    void ShareLetterPicture(bool share);
    void MakePictures();
    void FreePictures();

    void AddLetter(int letter);
    void DeleteLetter();
    void EndClick();
    void DrawName();
    void SetHover(int letter);
    void PutFrameOn(const TXeRGBPanel* panel);
    void MoveMouseInto(const TXeRGBPanel* panel);
    void NameEntryPanelKeyDown(std::uint16_t key);
    void MoveFrame(int dx, int dy);
    void PressFrameCell();
    void NameEntryPanelKeyPress(char key);

    ShellServices& FServices;
    PanelLayout FLayout;
    TXeRGBPanel* FNameEntryPanel;
    std::array<TXeRGBBtn*, kLetters> FLetterButtons{};
    TXeRGBBtn* FBackSpace;
    TXeRGBBtn* FEnd;
    TXeRGBPanel* FSelFrame;
    TXeRGBPanel* FPanelName;
    TXeRGBNum* FNumScore;
    bool FCreated = false;
    TFileMan* FFiles = nullptr;
    RankingName* FRanking = nullptr;
    TXeRGBBits* FNumBits = nullptr;
    std::int32_t FHovered = -1;
    AnsiString FName;
};

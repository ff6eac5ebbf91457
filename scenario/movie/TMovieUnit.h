// TMovieUnit: the adventure's movie player: opens "Movie\" + a file name, decodes it on the
// platform's movie service, shows each picture in its own 640 x 480 surface as MoviePanel's image
// (surface mode, the game's) or through the form's movie-draw hook, plays the sound as a stream at
// the music volume, and reports the end to the logic thread. A click on the movie skips it.
//
// Clock: the movie time of the sound now heard while the sound plays; the host's millisecond clock
// when the movie has no sound, and after its sound has ended or the device stopped playing it.
//
// Life cycle: closed -> Play -> open -> Start/StartAt -> running -> Finish (end, error, click) ->
// open, not running -> Close. Losing the display closes an open movie and keeps its time; getting
// the display back opens it again there, or finishes it when that fails.
//
// Threads: the logic thread only (its frame step and the panel tree's input replay); the movie
// service's worker and the sound's refill thread run inside the platform and sound layers.
#pragma once

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/AnsiString.h"
#include "platform/classes/Component.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class MovieHost;
class MovieSound;
class TFileMan;
class TXeRGBBits;
namespace movie {
class MoviePlayer;
struct Frame;
} // namespace movie

class TMovieUnit : public TComponent {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    // The folder movies are read from, before the name given to Play.
    static constexpr const char* kMovieFolder = "Movie\\";

    explicit TMovieUnit(TComponent* owner);
    ~TMovieUnit() override;

    // Makes MoviePanel; in surface mode the movie surface becomes its image, otherwise the
    // movie-draw hook is installed; registers the display listener. `resultCode` is handed to the
    // logic thread when a movie finishes, unless it is negative. The host must outlive Finalize.
    bool Initialize(MovieHost& host, TFileMan* files, bool surfaceMode, int resultCode);
    // Closes an open movie and undoes Initialize.
    void Finalize();

    // Opens "Movie\" + fileName; false (with everything released) when it cannot be played.
    bool Play(const AnsiString& fileName);
    // Starts an open movie at 0 or at `timeMs`; a negative time starts at 0. A movie without a
    // first picture finishes here.
    void Start() { StartAt(0); }
    void StartAt(std::int64_t timeMs);
    // One frame step while running: shows the picture due and finishes at the movie's end.
    void Update();
    // Ends the presentation (the end, or a skip); hands the result code to the logic thread.
    void Finish();
    // Plays the silence buffer and releases the movie.
    void Close();

    // The display listener.
    void DisplayChanged(bool restored);
    // A mouse button on the movie skips it while it runs.
    void MoviePanelMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

    bool Created() const { return created_; }
    bool IsOpen() const { return open_; }
    bool Running() const { return running_; }
    bool Interrupted() const { return interrupted_; }
    // Movie time kept when the display went away; -1 when none could be read.
    std::int64_t SavedTime() const { return savedTime_; }
    const AnsiString& FileName() const { return fileName_; }
    TXeRGBPanel* MoviePanel() const { return panel_.get(); }
    TXeRGBBits* MovieSurface() const { return surface_; }
    // Movie time now, in ms.
    std::int64_t ClockMs();
    // Bytes of the movie's sound decoded and not yet handed to the sound device.
    std::size_t QueuedSoundBytes() const;

private:
    bool MakeSurface();
    void DeleteSurface();
    // Once the sound has stopped playing, the movie goes on without it.
    void DropSilencedSound();
    void ShowFrame(const movie::Frame& frame);
    // The movie has shown its last picture and its sound has been heard.
    bool Ended(std::int64_t clockMs);
    void DrawHook(TXeRGBBits* backSurface);

    MovieHost* host_ = nullptr;
    bool created_ = false;
    TFileMan* files_ = nullptr;
    bool surfaceMode_ = true;
    int resultCode_ = -1;
    bool open_ = false;
    AnsiString fileName_;
    std::unique_ptr<movie::MoviePlayer> player_;
    std::unique_ptr<MovieSound> sound_;
    TXeRGBBits* surface_ = nullptr;          // surface mode: MoviePanel's image, made by the host
    std::unique_ptr<TXeRGBBits> frameBits_;  // hook mode: the last picture for the hook to draw
    std::unique_ptr<TXeRGBPanel> panel_;
    bool interrupted_ = false;
    std::int64_t savedTime_ = -1;
    bool running_ = false;
    bool started_ = false; // Start ran since Play
    // The clock: where the movie started, and the last movie time read from the sound with the
    // host's tick it was read at (the wall clock goes on from there).
    std::int64_t startMs_ = 0;
    std::int64_t anchorMs_ = 0;
    std::uint32_t anchorTick_ = 0;
};

// MovieCodec: what the movie player needs of a container and codec library: demuxing, audio
// decoded at once to the output's PCM, video kept as packets and decoded one picture at a time,
// scaled into the output's layout. The back end is FFmpeg (ffmpeg/), the only place that includes it.
//
// Movie time runs from 0 at the container's start. After Seek(ms), the PCM appended starts exactly
// at ms (silence is put before a later first sound, earlier samples are dropped) and DecodeVideo
// gives no picture that ends at or before ms.
//
// Threads: Open on any thread; everything else on one thread at a time (the player's worker).
// No member throws.
#pragma once

#include "platform/movie/MovieTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace movie {

class MovieCodec {
public:
    enum class Read { Packet, End, Error };

    virtual ~MovieCodec() = default;

    // The codec of the movie file at `path` (a name on disk); null with a reason in `error` when
    // the file is missing, is not a movie or has neither a video nor an audio stream it can decode.
    static std::unique_ptr<MovieCodec> Open(const std::string& path, const OutputSpec& spec, std::string& error);

    virtual bool HasVideo() const = 0;
    virtual bool HasAudio() const = 0;
    // Drops the sound: Demux then discards audio packets.
    virtual void DropAudio() = 0;
    // Positions at `ms` of movie time (0 or more); the decoders start over. False when the
    // container cannot seek: decoding then goes on from where it was, dropping what lies before ms.
    virtual bool Seek(std::int64_t ms) = 0;
    // Reads one packet: sound is decoded and its PCM appended to `pcm`; a picture's packet is kept
    // for DecodeVideo. End at the end of the data; Error on a read failure.
    virtual Read Demux(std::vector<std::uint8_t>& pcm) = 0;
    // After the last packet: flushes the decoders (their last PCM appended to `pcm`, their last
    // pictures left for DecodeVideo).
    virtual void Drain(std::vector<std::uint8_t>& pcm) = 0;
    // Bytes of picture packets kept for DecodeVideo, and whether DecodeVideo may give a picture
    // without another Demux (kept packets, or pictures still in the decoder after Drain).
    virtual std::size_t PendingVideoBytes() const = 0;
    virtual bool HasPendingVideo() const = 0;
    // Decodes kept packets until one picture comes out, scaled into `frame` (its buffer is reused);
    // false when none comes out of what is kept.
    virtual bool DecodeVideo(Frame& frame) = 0;
};

} // namespace movie

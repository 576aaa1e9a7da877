// TMoviePlayback: the movies of a movie show, one after another, the next one loaded within a
// second of the last frame of the one before.
//
// Two players exist: the old movie control plays .swf movies, the video player every other
// movie. CreateFlashPlayer makes, over the show window at activation, the players the package's
// movies need (a package of videos alone never asks for the old control). When a player cannot be
// made it offers the download page and halts the show. PlayNextMovie starts the next movie in its
// player, showing that player alone and hiding the picture control; the one-second timer
// (TimerFlashTimer) starts the movie after that once the current one has reached its last frame.
// A movie the media step left out of the media folder is passed over; with none there the player
// stays empty. A video that cannot be played is passed over at once; when not one of a whole
// round plays, the show ends without a word.
//
// Main thread only. What the context refers to belongs to the show window and outlives the
// playback; the movie control belongs to the playback.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "package/ss_file_locations.h"
#include "picshow/custom_pic_show.h"
#include "platform/application.h"
#include "platform/form_window.h"
#include "platform/movie_player.h"
#include "platform/screen.h"
#include "platform/system_services.h"
#include "platform/timer.h"
#include "show/handler_guard.h"
#include "show/media_folder.h"

namespace tovrin {

// The address the missing-movie-control message offers; the language file can replace it (key
// "DownloadURL" of section "Language").
inline constexpr const char* MoviePlayerDownloadUrl = "https://tovrin.org/movie-player";

class TMoviePlayback {
 public:
  struct TContext {
    TApplication& Application;  // the one-second timer
    TScreen& Screen;            // the movie control covers it
    TSystemServices& System;    // the language file, the message, the download page
    TFormWindow& Window;        // the movie control's parent and the message's owner
    // Makes the old movie control over Window; raises when it is not installed.
    std::function<std::unique_ptr<TMoviePlayer>()> CreatePlayer;
    // Makes the video player over Window; raises when there is none.
    std::function<std::unique_ptr<TMoviePlayer>()> CreateVideoPlayer;
    // The other monitors' windows the video player shows its movie in too (none: they stay
    // black); valid until the next LetGoOfMonitors.
    std::function<std::vector<TMovieMirror>()> Mirrors;
    TCustomPicShow& Pictures;  // hidden while the movies play
    const TSSFileLocations& Settings;
    const TMediaFolder& Media;  // where the movies were extracted
    THandlerGuard Guard;        // runs the timer's handler
    // Ends the show at once (the termination path); does not return.
    std::function<void()> Halt;
  };

  explicit TMoviePlayback(TContext context);
  TMoviePlayback(const TMoviePlayback&) = delete;
  TMoviePlayback& operator=(const TMoviePlayback&) = delete;

  // Makes the players the movies need, visible and covering the screen; without one of them,
  // offers the download page and halts.
  void CreateFlashPlayer();
  // Loads and plays movie MovieIndex in its player, showing it instead of the pictures; does
  // nothing without players or movies.
  void PlayNextMovie();
  // A picture is about to be shown: the players, when they show, step aside.
  void HideFlash();
  // The pictures have all been shown once: the movies play.
  void TakeOver();
  // The show is ending: no movie follows by itself.
  void StopTimerFlash();
  // The desk is about to change: the video player lets go of the other monitors' windows.
  void LetGoOfMonitors();
  // The desk has changed: the players cover the show window again, and the video player shows in
  // the other monitors' windows as they now are.
  void FollowScreen();

  // ---- Read-only state, for tests
  TMoviePlayer* Flash() const { return FFlash.get(); }
  TMoviePlayer* Video() const { return FVideo.get(); }
  // The player of the movie that plays (or played last); nullptr before the first.
  TMoviePlayer* Player() const { return FPlayer; }
  int32_t MovieIndex() const { return FMovieIndex; }
  const TTimer& TimerFlash() const { return FTimerFlash; }

 private:
  // Every second: the movie at its last frame gives way to the next one.
  void TimerFlashTimer();
  // Shows player over the screen and hides the other player and the pictures.
  void ShowOnly(TMoviePlayer& player);

  TScreen& FScreen;
  TSystemServices& FSystem;
  TFormWindow& FWindow;
  const std::function<std::unique_ptr<TMoviePlayer>()> FCreatePlayer;
  const std::function<std::unique_ptr<TMoviePlayer>()> FCreateVideoPlayer;
  const std::function<std::vector<TMovieMirror>()> FMirrors;
  TCustomPicShow& FPShow;
  const TSSFileLocations& FSettings;
  const TMediaFolder& FMediaFolder;
  const THandlerGuard FGuard;
  const std::function<void()> FHalt;

  std::unique_ptr<TMoviePlayer> FFlash;  // the old movie control (.swf movies)
  std::unique_ptr<TMoviePlayer> FVideo;  // the video player (every other movie)
  TMoviePlayer* FPlayer = nullptr;
  int32_t FMovieIndex = 0;
  // Which movies are in the media folder, looked up when the first one is to play.
  std::vector<bool> FExtracted;
  bool FLookedUp = false;
  TTimer FTimerFlash;
};

}  // namespace tovrin

#pragma once
// Lays the sample media out in a player directory: the concert file and its stored list, the
// audio CD's ".CDA" track files in a folder of their own with the CD's stored list, and the file
// with subsongs; gives the stand-in player's playlist for them.

#include "testhost/player_directory.h"
#include "testhost/stand_in_player.h"

#include <string>
#include <vector>

namespace tarnix::demo {

// File names inside Bookmarks\ of the two stored lists.
constexpr const char* kConcertListFile = "Live at the Old Hall.trk";
constexpr const char* kCdListFile = "The Examples - Studio Sessions.trk";

// Writes everything; false with a reason. The playlist's order is that of PlaylistIndex.
bool LayOutSampleMedia(testhost::PlayerDirectory& directory, std::vector<testhost::PlaylistEntry>* playlist,
                       std::string* error);

}  // namespace tarnix::demo

#pragma once
// The names under which track lists are proposed and looked for in the bookmark directory.
// Titles and album names come from downloaded files' tags, so a name built from them is made
// into one plain file name: it can neither leave the directory, nor name a stream or a device,
// nor hold a character the file system refuses.

#include <cstdint>

#include "tracklist/text_string.h"
#include "tracklist/track_list.h"

namespace tarnix {

// Longest file name (without ".trk") made from a title, in UTF-16 units, the file systems'
// measure; they allow 255.
constexpr int kMaxListNameLength = 200;

// `name` as one safe file name: \ / : * ? " < > | and control characters become "_", a name
// that is empty or only dots and blanks becomes "Unknown", a reserved device name (CON, NUL,
// COM1, LPT3 and their superscript forms ... in any case, also with an extension) gets a leading
// "_", and the length is held to kMaxListNameLength, cut between whole characters.
// `name` and the result are UTF-8.
TextString SafeFileName(const TextString& name);

// The default file name of `list`: for a CD "artist - album.trk" (or "album.trk"), otherwise
// the title + ".trk", made safe.
TextString DefaultListFileName(const TrackList& list, const TextString& title);

// The list file that a title is looked for under: directory + "\" + safe title + ".trk".
TextString TitleCandidate(const TextString& directory, const TextString& title);

}  // namespace tarnix

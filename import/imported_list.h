#pragma once
// Turns the subtracks an importer found into the list a song change shows: one track, in time
// order, names in the plug-in's code page, not marked modified.

#include "import/chapter.h"
#include "tracklist/text_string.h"
#include "tracklist/track_list.h"

namespace tarnix {

// Replaces `out` by the list of a plain file (as TrackList::Reset makes it for `title`, with
// `title` as its album, so a saved copy is found again) whose one track holds the chapters: the
// first chapter is the start entry when it lies within one frame of 0, otherwise a start entry
// at 0 named after the title comes first. Chapters at the
// same millisecond keep the first; names are kept as the importer gives them (ExactName: blanks
// at the ends and tabs stay, line breaks become spaces); unnamed ones are "Chapter N" (N from 1
// in time order); at most kMaxImportedChapters subtracks. False, with `out` unchanged, when there are no chapters.
bool MakeImportedList(const ChapterSet& set, const TextString& title, TrackList* out);

// Makes the chapters the subtracks of an existing track (a pasted tracklist) by the same rules,
// the track's own name standing in for the title; the track's number and its list's header stay,
// and the list is marked modified. False, with the track unchanged, when there are no chapters.
bool SetTrackChapters(const ChapterSet& set, Track* track);

}  // namespace tarnix

#pragma once
// File names made from tag names, archive entries and plugin names: they
// must never leave their folder.

#include <string>

#include "platform/types.h"

namespace pirn {

// (A single name is made safe by MakeSafePathComponent of tag_header.h.)

// Never fails: the safe form of the name, else of the tag id's four
// characters, else "tag %08x". A name the folder scans skip (Thumbs.db,
// desktop.ini, .DS_Store, our temporary files) gets a '_' in front.
std::string SafeTagFileName(const char* name, u32 tag_id);

// The folder of a group under a root: its plural label (which may nest, as
// "Quicktime/MP3" does); for a code not in the table its four characters,
// made safe like a name (a code read from a file may hold '/' or "..").
std::string GroupFolderName(u32 group);

}  // namespace pirn

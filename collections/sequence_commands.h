#pragma once
// The sequence browser's commands apart from its window: new, duplicate
// and delete, with the texts their boxes show. New sequences and copies are
// refused when the collection's sequences would no longer fit their 16-bit
// indices (collections/sequence_properties.h).

#include <string>
#include <vector>

#include "collections/collection.h"

namespace pirn {

// "New Sequence": one frame of one view, appended. Null when it would not fit.
CollectionSequence* AddNewSequence(Collection* collection);
// A deep copy (name, properties, every frame with its instances and view
// indices) named "%s copy" (63 characters at most), placed right after the
// original. Null when it would not fit or the original is not in the
// collection.
CollectionSequence* DuplicateSequence(Collection* collection, const CollectionSequence* source);
// Removes and frees them; the number removed.
u32 DeleteSequences(Collection* collection, const std::vector<CollectionSequence*>& sequences);

// "The sequence \"%s\" is currently open. Please close it before deleting."
std::string SequenceOpenText(const CollectionSequence& sequence);
// "Are you sure you want to remove the selected sequence%s?" ("s" for more
// than one).
std::string SequenceDeleteQuestion(size_t selected);

}  // namespace pirn

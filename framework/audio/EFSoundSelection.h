/*
===============================================================================

	Element choices that sound events and containers share: the random
	pick that never repeats the previous element, the step through the
	list, and the in-place shuffle of a record's element list (every entry
	set to 0xFFFFFFFF, then each former entry, in order, put at a random
	free place).

===============================================================================
*/
#ifndef EF_SOUND_SELECTION_H
#define EF_SOUND_SELECTION_H

#include "datatypes/base/DTTypes.h"

// One of count elements (count > 0), never previous when count > 1; two
// elements alternate, starting with 0.
u32		EFPickRandomElement( u32 count, u32 previous );
// previous + 1, back to 0 at the end or when there is no previous.
u32		EFStepElement( u32 count, u32 previous );
// Shuffles list (count > 1) in place; nothing when no copy could be made.
void	EFShuffleElements( u32 * list, u32 count );

#endif

/*
===============================================================================

	The notice a game object's logic gets when one of its sounds has
	played to its end: NO_SOUND_COMPLETE, deferred to the next flush, sent
	to the owner's id by the sound id, with an 8-byte block {owner id,
	sound id} that the notification manager then owns.

===============================================================================
*/
#ifndef EF_SOUND_COMPLETION_H
#define EF_SOUND_COMPLETION_H

#include "datatypes/base/DTTypes.h"

class EFGameObject;

// Nothing without an owner, a game logic manager or memory for the block.
void	EFNotifySoundComplete( const EFGameObject * owner, u32 soundId );

#endif

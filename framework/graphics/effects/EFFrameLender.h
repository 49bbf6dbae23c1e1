/*
===============================================================================

	The frame-lender rule. Positioned things that borrow another object's
	frame (sprites attached to an object or a joint, cameras made on a game
	object) remember the lender's
	id. Whatever ends a lender (a game object's Terminate, a sprite's or
	group's removal) calls EFReleaseFrameLender with its id before its
	frame goes: every borrower of that id takes a frame of its own holding
	the lent frame's last world matrix, and forgets the borrowed pointer.

===============================================================================
*/
#ifndef EF_FRAME_LENDER_H
#define EF_FRAME_LENDER_H

#include "datatypes/base/DTTypes.h"

void	EFReleaseFrameLender( u32 lenderId );

#endif

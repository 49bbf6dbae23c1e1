/*
===============================================================================

	The frame-lender rule. Positioned things that borrow another object's
	frame (sprites attached to an object or a joint, cameras made on a game
	object, emitters set on a joint) remember the lender's id. Whatever
	ends a lender (a game object's Terminate, a sprite's or group's
	removal, an emitter's deletion, the destruction of a camera, light or
	projector) calls EFReleaseFrameLender with its id before its frame
	goes: every borrower of that id takes a frame of its own holding the
	lent frame's last world matrix, and forgets the borrowed pointer.

===============================================================================
*/
#ifndef EF_FRAME_LENDER_H
#define EF_FRAME_LENDER_H

#include "datatypes/base/DTTypes.h"

class DTFrame;
class EFPosData;

void		EFReleaseFrameLender( u32 lenderId );

// The borrower forgets its borrowed frame (never destroyed) and takes one
// of its own holding that frame's last world matrix: the new frame, or
// null when there was none to copy or it could not be made.
DTFrame *	EFOwnFrameInPlace( EFPosData & borrower );

#endif

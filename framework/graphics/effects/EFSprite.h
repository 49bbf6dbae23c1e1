/*
===============================================================================

	A sprite of a sprite group: a camera-facing square of half side mfSize
	around its frame's position, or, with the screen flag, at a fixed
	camera-space (x, y) at depth 1. Being a positioned instance, the
	world's lookup by id hands it out like any other.

	A sprite either owns a free frame or borrows its lender's frame (an
	object's own frame, a joint of a game object). It records the
	lender's id, so that when the lender ends (ReleaseLender) it takes a
	frame of its own where the borrowed one last was, and never touches
	the borrowed one again.

===============================================================================
*/
#ifndef EF_SPRITE_H
#define EF_SPRITE_H

#include "framework/core/world/EFPosData.h"

// AddSprite's joint that attaches to nothing: the sprite owns a frame.
constexpr u32 EF_SPRITE_NO_JOINT	= 0x6FFFFFFF;
constexpr u32 EF_SPRITE_FIRST_ID	= 0x4C800000;
constexpr u32 EF_SPRITE_NO_LENDER	= 0xFFFFFFFF;

class EFSprite : public EFPosData {
public:
	// Takes the next sprite id.
							EFSprite( f32 size );
	// Begins and ends the test camera, then goes as a positioned instance
	// (a borrowed frame is left alone).
							~EFSprite() override;

	// Free (joint EF_SPRITE_NO_JOINT): a frame of its own. Else the frame
	// of that joint of game object objectId (top byte 0x2A), or of the
	// positioned object objectId; no frame when there is none.
	void					Attach( u32 objectId, u32 joint );
	// When lenderId lent this sprite its frame: a frame of its own with
	// the lent frame's world matrix. The lent frame is not touched beyond
	// reading that matrix.
	void					ReleaseLender( u32 lenderId );

	EFSprite*				mpoNext;
	f32						mfSize;
	u8						mui8Screen;
	f32						mfScreenX;
	f32						mfScreenY;
	u32						mui32Id;
	u32						mui32LenderId;

	static u32				muiNextSpriteID;
};

#endif

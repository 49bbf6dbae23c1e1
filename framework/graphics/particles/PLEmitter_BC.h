/*
===============================================================================

	Portable part of a particle emitter: a positioned instance (its frame
	gives its position, muiUID its id) that launches particles of its type
	from a box around its frame, moves them and bounces them on up to two
	planes.

	An emitter is frozen (flag 16) while stopped: it neither launches nor
	moves its particles. Every particle it holds comes from the manager's
	pool and goes back to the pool's free list.

===============================================================================
*/
#ifndef PL_EMITTER_BC_H
#define PL_EMITTER_BC_H

#include "framework/core/world/EFPosData.h"
#include "framework/graphics/EFPlane.h"
#include "framework/graphics/particles/PLLinkList.h"
#include "framework/graphics/particles/PLParticle.h"
#include "framework/graphics/particles/PLType_BC.h"

class EFGameObject;
class PLEmitter;
class PLType;

// Emitter flags.
constexpr u32 PL_EMITTER_LOCAL_SPACE			= 0x2;
constexpr u32 PL_EMITTER_REPORT_FIRST_HIT		= 0x4;
constexpr u32 PL_EMITTER_COUNT_HITS				= 0x8;
constexpr u32 PL_EMITTER_FROZEN					= 0x10;
constexpr u32 PL_EMITTER_PAUSE_WITH_WORLD		= 0x20;
constexpr u32 PL_EMITTER_NO_DRAW_CLIPPED		= 0x40;
constexpr u32 PL_EMITTER_NO_UPDATE_CLIPPED		= 0x80;
constexpr u32 PL_EMITTER_RELEASE_ON_CLIP		= 0x100;
constexpr u32 PL_EMITTER_DEFAULT_FLAGS			= 0xF0;

// Shape flags.
constexpr u32 PL_SHAPE_PLANE0					= 0x1;
constexpr u32 PL_SHAPE_PLANE1					= 0x2;
constexpr u32 PL_SHAPE_BOX						= 0x10;
constexpr u32 PL_SHAPE_CLIPPED					= 0x20;

// Bytes of a stored emitter block.
constexpr u32 PL_EMITTER_BLOCK_SIZE				= 152;

// Notify target of no one.
constexpr u32 PL_NO_TARGET						= 0xFFFFFFFF;

// Lender of an emitter on a frame of its own.
constexpr u32 PL_NO_LENDER						= 0xFFFFFFFF;

class PLEmitter_BC : public EFPosData {
public:
							PLEmitter_BC();

	using EFInstance::Initialize;
	// Fills the emitter from a stored block of size bytes; 0, or -1 for a
	// size other than 152 or an unknown type.
	s32						Initialize( const u8 * block, u32 size, EFGameObject * owner );

	// Runs, unfrozen; repeat != 0 launches every emission period.
	void					Start( u32 repeat );
	// Releases every particle, stops and freezes.
	void					Reset();
	void					SetBox( const DTVector3d * min, const DTVector3d * max );
	// Mask bit 1 sets plane 0, bit 2 plane 1: the normal normalised, its
	// distance through point, factor its bounce factor.
	void					SetCollisionPlane( const DTVector3d * normal, const DTVector3d * point, f32 factor, u32 mask );
	// The bounds of the live particles, only the components the mask
	// selects (bits 1/2 minimum/maximum x, 4/8 y, 16/32 z); 0, or 4 with
	// no particle.
	s32						GetBBox( DTVector3d * min, DTVector3d * max, u32 mask ) const;
	u32						GetNbActivePart() const { return moParticles.GetCount(); }
	// Every live particle back to the manager's free list, matrix
	// destroyed.
	void					ReleaseParticlesFromList();

	// The particles launched this step.
	u32						LaunchParticle( f32 dt );
	// One particle from the pool, placed and aimed; null when the pool is
	// empty or an oriented particle's matrix cannot be made.
	PLParticle *			LaunchParticleImmediately();
	// Ages, moves and bounces the particles; the live count.
	u32						UpdatePhysic( f32 dt );
	// Whether any active camera sees the emitter; tells the notify target
	// when that changes.
	void					UpdateClippingState();
	// An emitter on a frame lent by lenderId takes a frame of its own in
	// the same place.
	void					ReleaseLender( u32 lenderId );

	PLEmitter *				mpoNext = nullptr;
	u32						mui32Flags;
	PLType *				mpoType = nullptr;
	char					mszName[PL_NAME_LENGTH + 1];
	u32						mui32OwnerId;
	u32						mui32NotifyTarget;
	PLLinkList<PLParticle>	moParticles;
	u8						mui8Running;
	u8						mui8Repeat;
	f32						mfTimer;
	DTVector3d				moBoxMin;
	DTVector3d				moBoxSize;
	u32						mui32ShapeFlags;
	EFPlane					moPlanes[2];
	f32						mfBounce[2];
	f32						mfClipRadius;
	u32						mui32LenderId = PL_NO_LENDER;

private:
	// The frame's world matrix, or null without a frame.
	const RwMatrix *		GetWorldMatrix() const;
	void					SendClipped( u32 clipped ) const;
};

#endif

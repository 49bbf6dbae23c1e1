/*
===============================================================================

	Object tracking (pre-collision): turns the owner's frame toward a
	target point each pass, the target object's position (optionally
	offset in world axes, or a point in the target's own axes) or a fixed
	world point, by heading alone or by heading and pitch together, at a
	rate, or away from it. A target id naming nothing sets state bit 0 and
	turns nothing.

===============================================================================
*/
#ifndef EF_DM_TRACK_OBJET_H
#define EF_DM_TRACK_OBJET_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

enum EFDMTrackFlags_e : u32 {
	EF_DM_TRACK_HEADING			= 0x01,
	EF_DM_TRACK_HEADING_PITCH	= 0x02,
	EF_DM_TRACK_WORLD_OFFSET	= 0x04,
	EF_DM_TRACK_LOCAL_POINT		= 0x08,
	EF_DM_TRACK_AWAY			= 0x10,
};

class EFDMTrackObjet : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x10000001;

	explicit				EFDMTrackObjet( EFPhysic * owner );
							~EFDMTrackObjet() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMTrackObjetParams; 0x2A000000 stored as the running object's id.
	// Null: rate 1, no target, no flags, no offset.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	f32						mfRate;
	u32						mui32TargetId;
	u32						mui32Flags;
	DTVector3d				moOffset;
};

// e brought into [-pi, pi] by one addition or subtraction of 2 pi.
f32						DMWrapAngleOnce( f32 e );

#endif

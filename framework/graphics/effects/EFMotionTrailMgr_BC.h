/*
===============================================================================

	Motion trail manager, portable half: systems of control points whose
	positions (a joint of a game object, or a stored position with flag
	0x1000) are sampled at a fixed interval into a ring of rows. Each
	sample ages until its control point's life span.

	System flags: bit 0 tracking (sampling), bit 1 drawing, 0x1000 stored
	positions. Operations on unknown ids, or on control points past the
	system's, do nothing. A system needs at least one row and one control
	point, and at most EF_TRAIL_MAX_POINTS control points (two rows must
	fit the shared drawing buffers).

===============================================================================
*/
#ifndef EF_MOTION_TRAIL_MGR_BC_H
#define EF_MOTION_TRAIL_MGR_BC_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTMap.h"

class DTFrame;
class DTVector3d;

constexpr u32 EF_TRAIL_TRACKING				= 0x1;
constexpr u32 EF_TRAIL_DRAWING				= 0x2;
constexpr u32 EF_TRAIL_STORED_POSITIONS		= 0x1000;
constexpr u32 EF_TRAIL_NO_SYSTEM			= 0xFFFFFFFF;
constexpr u32 EF_TRAIL_NO_OBJECT			= 0xFFFFFFFF;
constexpr f32 EF_TRAIL_DEFAULT_FREQUENCY	= 100000000.0f;
constexpr u32 EF_TRAIL_BUFFER_VERTICES		= 1024;
constexpr u32 EF_TRAIL_BUFFER_INDICES		= 1024;
// (2 C + 2) + (C + 2) indices of two rows within the index buffer.
constexpr u32 EF_TRAIL_MAX_POINTS			= ( EF_TRAIL_BUFFER_INDICES - 4 ) / 3;

class EFMotionTrailMgr_BC {
public:
	struct _sControlPoint {
		f32					fLifeSpan;
		u32					ui32ObjectId;
		DTFrame*			pFrame;
		u32					ui32Joint;
		f32					afPosition[3];
		f32					afColor[3];
	};

	struct _sVertex {
		f32					afPosition[3];
		f32					fAge;
	};

	struct _sSystem {
		u32					ui32Flags;
		u32					ui32Id;
		f32					fFrequency;
		f32					fTimer;
		u32					ui32PointCount;
		_sControlPoint*		pPoints;
		u32					ui32RowCount;
		_sVertex*			pVertices;
		u32					ui32Head;
		u32					ui32Tail;
	};

							EFMotionTrailMgr_BC();
	virtual					~EFMotionTrailMgr_BC();

	// The new system's id, or EF_TRAIL_NO_SYSTEM with nothing made.
	u32						CreateSystem( u32 controlPoints, u32 rows, u32 flags );
	void					DestroySystem( u32 id );
	void					SetFrequency( u32 id, f32 frequency );
	void					SetLifeSpan( u32 id, u32 point, f32 seconds );
	// The id of the game object found (EF_TRAIL_NO_OBJECT for none); a
	// frame resolved for the point stays unless the object changes.
	void					SetJoint( u32 id, u32 point, u32 objectId, u32 joint );
	void					SetPosition( u32 id, u32 point, const DTVector3d* position );
	void					SetRGB( u32 id, u32 point, f32 red, f32 green, f32 blue );
	void					Start( u32 id );
	void					StopTracking( u32 id );
	void					StopDraw( u32 id );

	void					Initialize() {}
	// Every system, in map order.
	void					Update( f32 dt );
	void					Terminate();

	_sSystem*				GetSystem( u32 id ) const;

	u32						mui32NextId;
	DTMap<u32, _sSystem*>	moSystems;

protected:
	_sControlPoint*			GetPoint( u32 id, u32 point ) const;
	// 0, or -1 when a tracked game object is gone (the system stops).
	static s32				UpdateSystem( _sSystem& system, f32 dt );
	static s32				SamplePoint( _sSystem& system, _sControlPoint& point, _sVertex& vertex );
	static void				FreeSystem( _sSystem* system );
};

#endif

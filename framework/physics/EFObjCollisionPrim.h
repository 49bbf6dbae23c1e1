/*
===============================================================================

	Base of the collision primitives of a body's collision model.

	A primitive rides on a frame of its object's hierarchy (not owned),
	carries a tag by which the model finds it, three sets of attribute
	words (in force, as created, as set by logic) with a lock word per
	attribute, the radius of a sphere about its centre that holds it, its
	world position and its offset in the frame's space.

	A new primitive has tag 0, every word 0, radius 0, an offset of zero
	and a world position whose x is the largest float, which marks it as
	never computed.

	The shape tests are continuous: the mover travels with a constant
	velocity relative to the still other party. A pair of shapes is tested
	by the shape that comes first in the order sphere, swept sphere, box,
	polygon; the later shape mirrors that test (Mirror). Two polygons
	never collide.

	The shared geometric routines are static and work in single precision;
	a normal that comes out zero is replaced by (0, 0, 1).

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_PRIM_H
#define EF_OBJ_COLLISION_PRIM_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFColPrimAttrib.h"
#include "framework/physics/EFCollisionTestRecords.h"
#include "framework/physics/EFRayIntersectOut.h"
#include "framework/physics/RayIntersectIn.h"

class DTFrame;
class EFEnvCollisionPrim;
class PLParticle;

// Shape codes.
enum EFColPrimShape_e : u32 {
	EF_PRIM_SPHERE			= 0,
	EF_PRIM_SWEPT_SPHERE	= 1,
	EF_PRIM_BBOX			= 2,
	EF_PRIM_POLYGON			= 3,
};

// Attribute words: primitive flags, the four collision masks, the two
// environment detect masks, then four user values.
constexpr u32 EF_ATTR_FLAGS				= 0;
constexpr u32 EF_ATTR_TYPE				= 1;
constexpr u32 EF_ATTR_DETECT			= 2;
constexpr u32 EF_ATTR_UD_TYPE			= 3;
constexpr u32 EF_ATTR_UD_DETECT			= 4;
constexpr u32 EF_ATTR_ENV_DETECT		= 5;
constexpr u32 EF_ATTR_UD_ENV_DETECT		= 6;
// Bits of the primitive flags word.
constexpr u32 EF_PRIM_ENV_COLLISIONS	= 0x1;
constexpr u32 EF_PRIM_DETECT_ONLY		= 0x2;
constexpr u32 EF_PRIM_NOTIFY_SELF		= 0x4;
constexpr u32 EF_PRIM_NOTIFY_OTHER		= 0x8;
constexpr u32 EF_PRIM_OFF				= 0x10;
constexpr u32 EF_PRIM_NO_OBJ_RESPONSE	= 0x80;

class EFObjCollisionPrim {
public:
	explicit				EFObjCollisionPrim( DTFrame * frame );
	virtual					~EFObjCollisionPrim();

							EFObjCollisionPrim( const EFObjCollisionPrim & ) = delete;
	EFObjCollisionPrim &	operator=( const EFObjCollisionPrim & ) = delete;

	// moPrimPos = the frame's world position + its world rotation applied
	// to moTrans; moTrans alone without a frame.
	virtual void			PrecalcPrimData();
	// Moves the world position by v.
	virtual void			Translate( const DTVector3d & v );
	// Test against one environment polygon; a result code.
	virtual u32				CheckEnvCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											   EFEnvCollisionPrim * polygon ) = 0;
	// Test against another object's primitive; a result code.
	virtual u32				CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other ) = 0;
	// True when the point lies inside.
	virtual bool			CheckPointIntersection( const DTVector3d & point ) const = 0;
	// How many particles of the list touch the primitive; with count false
	// the first hit may end the walk.
	virtual u32				CheckParticlesIntersection( PLParticle * first, bool count ) = 0;
	// 1 when the ray hits before t, which then becomes the hit's t.
	virtual u32				RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) = 0;
	// The smallest radius of the shape.
	virtual f32				GetMinRadius() = 0;
	// A horizontal direction that takes a body standing at position off
	// the primitive; may leave escape untouched.
	virtual void			GetEscapeNoPF( const DTVector3d & position, DTVector3d & escape,
										   DTVector3d & velocity ) const = 0;

	void					SetShape( u32 shape ) { mui32Shape = shape; }
	DTFrame *				GetFrame() const { return mpoFrame; }

	// Recomputes the attribute word in force at index (below
	// EF_COL_PRIM_ATTRIB_WORDS; others are ignored): the locked bits come
	// from logic, the rest from the base words.
	void					UpdateCurrentAttrib( u32 index );
	// The same for every word.
	void					UpdateCurrentAttribs();
	u32						GetAttrib( u32 index ) const { return moCurrentAttrib.IntArray[index]; }

	// Whether the type masks of two primitives meet, either way round.
	static bool				Meet( const EFObjCollisionPrim & a, const EFObjCollisionPrim & b );

	// The other primitive's test against this one, with the velocity
	// reversed; a contact's normal and displacement are turned back.
	u32						Mirror( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
									EFObjCollisionPrim * other );

	// The shared routines.
	static u32				CheckSphereSphereCollision( EFCheckSphereSphereCollisionIn & in,
														EFCheckSphereSphereCollisionOut & out );
	static u32				CheckSphereVectorCollision( EFCheckSphereVectorCollisionIn & in,
														EFCheckSphereVectorCollisionOut & out );
	static u32				CheckSphereSweepCollision( EFCheckSphereSweepCollisionIn & in,
													   EFCheckSphereSweepCollisionOut & out );
	static u32				GetVectorVectorDistance( EFGetVectorVectorDistanceIn & in,
													 EFGetVectorVectorDistanceOut & out );
	static u32				GetVectorVectorNearestPoint( EFVectorVectorNearestPointIn & in,
														 EFVectorVectorNearestPointOut & out );
	static u32				CheckInfiniteVectorVectorCollision( EFCheckInfiniteVectorVectorCollisionIn & in,
																EFCheckInfiniteVectorVectorCollisionOut & out );
	static u32				CheckFiniteVectorVectorCollision( EFCheckFiniteVectorVectorCollisionIn & in,
															  EFCheckFiniteVectorVectorCollisionOut & out,
															  u32 flags );

	// v normalised; (0, 0, 1) for a zero vector.
	static DTVector3d		NormalizeOrUp( const DTVector3d & v );

	u32						mui32Shape;
	u32						mui32Tag;
	EFColPrimAttrib			moCurrentAttrib;
	EFColPrimAttrib			moBaseAttrib;
	EFColPrimAttrib			moLogicAttrib;
	u32						mpuiLockedIntAttribs[EF_COL_PRIM_ATTRIB_WORDS];
	f32						mfMaxRadius;
	DTVector3d				moPrimPos;
	DTVector3d				moTrans;
	u32						muiPrimFlags;

protected:
	DTFrame *				mpoFrame;
};

#endif

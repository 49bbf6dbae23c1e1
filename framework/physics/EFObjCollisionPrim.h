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

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_PRIM_H
#define EF_OBJ_COLLISION_PRIM_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFColPrimAttrib.h"

class DTFrame;

// Shape codes.
enum EFColPrimShape_e : u32 {
	EF_PRIM_SPHERE			= 0,
	EF_PRIM_SWEPT_SPHERE	= 1,
	EF_PRIM_BBOX			= 2,
	EF_PRIM_POLYGON			= 3,
};

class EFObjCollisionPrim {
public:
	explicit				EFObjCollisionPrim( DTFrame * frame );
	virtual					~EFObjCollisionPrim();

							EFObjCollisionPrim( const EFObjCollisionPrim & ) = delete;
	EFObjCollisionPrim &	operator=( const EFObjCollisionPrim & ) = delete;

	// Recomputes the derived data from the frame, leaving the world
	// position in moPrimPos. Does nothing until the shape tests exist.
	virtual void			PrecalcPrimData();

	DTFrame *				GetFrame() const { return mpoFrame; }

	// Recomputes the attribute word in force at index (below
	// EF_COL_PRIM_ATTRIB_WORDS; others are ignored): the locked bits come
	// from logic, the rest from the base words.
	void					UpdateCurrentAttrib( u32 index );
	// The same for every word.
	void					UpdateCurrentAttribs();

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

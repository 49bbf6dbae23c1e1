/*
===============================================================================

	Portable part of a particle type, as the physics reads it so far: its
	id, the next type of the manager's list, its four collision masks
	(collision type, user-defined collision type, detect type,
	user-defined detect type, met crosswise with a body's), the radius of
	its particles' bounding sphere and its emitters.

===============================================================================
*/
#ifndef PL_TYPE_BC_H
#define PL_TYPE_BC_H

#include "datatypes/base/DTTypes.h"
#include "framework/graphics/particles/PLLinkList.h"

class PLEmitter;
class PLType;

class PLType_BC {
public:
	virtual					~PLType_BC() {}

	// Whether any collision mask is set.
	bool					Collides() const {
		return ( mui32CollisionType | mui32UDCollisionType | mui32DetectType | mui32UDDetectType ) != 0;
	}

	u32						muiUID = 0;
	PLType *				mpoNext = nullptr;
	u32						mui32CollisionType = 0;
	u32						mui32UDCollisionType = 0;
	u32						mui32DetectType = 0;
	u32						mui32UDDetectType = 0;
	f32						mfRadius = 0.0f;
	PLLinkList<PLEmitter>	moEmitters;
};

#endif

/*
===============================================================================

	One polygon of a level's collision map, as the map's data holds it:
	its attribute word, edge-grab data, the vertex count (low 15 bits),
	the mark of the last query that tested it and its plane (unit normal
	towards the front, and the constant d: a point P lies at signed
	distance normal . P + d). Its vertices and edge planes follow the
	record in the map's data.

	Stored, the attribute word is the index of the polygon's attribute
	record; once the map is loaded it is the byte offset from the polygon
	record to that record (self-relative, so the record keeps its 32-bit
	word on a 64-bit host), read through GetAttribs. A record is 28 + 28n
	bytes: the header, n vertices, n outward edge planes.

===============================================================================
*/
#ifndef EF_ENV_COLLISION_PRIM_H
#define EF_ENV_COLLISION_PRIM_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EnvPrimAttribs.h"

class EFEnvCollisionPrim {
public:
	struct Plane {
		DTVector3d			moNormal;
		f32					mfD;
	};

	// The attribute record of a loaded polygon.
	const EnvPrimAttribs *	GetAttribs() const {
		return reinterpret_cast<const EnvPrimAttribs *>( reinterpret_cast<const u8 *>( this ) +
														 static_cast<s32>( mui32Attributes ) );
	}

	// The n vertices, in order around the polygon.
	const DTVector3d *		GetVertex() const {
		return reinterpret_cast<const DTVector3d *>( reinterpret_cast<const u8 *>( this ) + 28 );
	}
	// One plane per edge (vertex i to i + 1), normal outward.
	const Plane *			GetEdges() const {
		return reinterpret_cast<const Plane *>( reinterpret_cast<const u8 *>( this ) + 28 +
												12 * ( mui16NbVertex & 0x7FFF ) );
	}

	u32						mui32Attributes;
	u16						mui16EdgeGrab;
	u16						mui16NbVertex;
	u32						mui32CheckCount;
	Plane					moPlane;
};

static_assert( sizeof( EFEnvCollisionPrim ) == 28, "a polygon record header is 28 bytes" );

#endif

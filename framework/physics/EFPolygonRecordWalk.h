/*
===============================================================================

	The walk the sphere and the capsule make over a polygon primitive's
	records: the mover is brought into the primitive's space, each record
	(28 + 28 n bytes after the one before) is tested there, a contact's
	normal and displacement are turned back to world space, and the
	result with the smallest time below the maximum time + 1.0 wins with
	its whole output. A push leaves the time as the record's test found
	it (0): it competes at time 0, so an overlap wins over every later
	hit.

===============================================================================
*/
#ifndef EF_POLYGON_RECORD_WALK_H
#define EF_POLYGON_RECORD_WALK_H

#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFPrimSpace.h"

// test( local input, output, record ) is the mover's single-polygon test
// in the primitive's space; returns the winning record's result, 0 when
// none meets.
template <typename Test>
u32 EFWalkPolygonRecords( const EFObjCollisionPolygon & polygons, const EFCheckCollisionIn & in,
						  EFCheckCollisionOut & out, Test test ) {
	if ( !polygons.HasMatrices() || polygons.mpoFirstPolygon == nullptr ) {
		return 0;
	}
	const EFCheckCollisionIn local = { in.mfMaxTime, EFTransformVector( in.moVelocity, polygons.mpoInverseMatrix ) };
	f32 best = in.mfMaxTime + 1.0f;
	u32 kept = 0;
	EFCheckCollisionOut keptOut = {};
	u8 * record = reinterpret_cast<u8 *>( polygons.mpoFirstPolygon );
	for ( u32 i = 0; i < polygons.mui32NbPolygons; i++ ) {
		EFEnvCollisionPrim * const polygon = reinterpret_cast<EFEnvCollisionPrim *>( record );
		EFCheckCollisionOut one = {};
		const u32 result = test( local, one, polygon );
		if ( ( result & ( CS_COL_HIT | CS_COL_PUSH ) ) != 0 ) {
			one.moColNormal = EFTransformVector( one.moColNormal, polygons.mpoWorldMatrix );
			one.moEffectivePartDep = EFTransformVector( one.moEffectivePartDep, polygons.mpoWorldMatrix );
			if ( one.mfTime < best ) {
				best = one.mfTime;
				kept = result;
				keptOut = one;
			}
		}
		record += EF_POLYGON_HEADER_BYTES + EF_POLYGON_VERTEX_BYTES * ( polygon->mui16NbVertex & 0x7FFF );
	}
	if ( kept != 0 ) {
		out = keptOut;
	}
	return kept;
}

#endif

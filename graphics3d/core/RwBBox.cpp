#include "graphics3d/core/RwBBox.h"

RwBBox* RwBBoxInitialize( RwBBox* boundBox, const RwV3d* vertex ) {
	boundBox->sup = *vertex;
	boundBox->inf = *vertex;
	return boundBox;
}

RwBBox* RwBBoxAddPoint( RwBBox* boundBox, const RwV3d* vertex ) {
	const f32 point[3] = { vertex->x, vertex->y, vertex->z };
	f32* const sup[3] = { &boundBox->sup.x, &boundBox->sup.y, &boundBox->sup.z };
	f32* const inf[3] = { &boundBox->inf.x, &boundBox->inf.y, &boundBox->inf.z };
	for ( u32 i = 0; i < 3; i++ ) {
		if ( point[i] > *sup[i] ) {
			*sup[i] = point[i];
		}
		if ( point[i] < *inf[i] ) {
			*inf[i] = point[i];
		}
	}
	return boundBox;
}

RwBBox* RwBBoxCalculate( RwBBox* boundBox, const RwV3d* verts, const s32 numVerts ) {
	if ( numVerts < 1 ) {
		return nullptr;
	}
	RwBBoxInitialize( boundBox, &verts[0] );
	for ( s32 i = 1; i < numVerts; i++ ) {
		RwBBoxAddPoint( boundBox, &verts[i] );
	}
	return boundBox;
}

#include "framework/graphics/EF3dObj_SP.h"

#include "framework/graphics/ApAtomicDataPlugin.h"
#include "graphics3d/world/RpClump.h"

EF3dObj_SP::EF3dObj_SP()
	: mbWorkaround( 0 ), mfBlendingColor{ 1.0f, 1.0f, 1.0f, 1.0f }, muiFreeFlag( 0 ), mppTransfo{ nullptr, nullptr },
	  muiTransparentPriority( EF_3D_OBJ_DEFAULT_PRIORITY ), muiTexFaderRefCount( 0 ) {
}

EF3dObj_SP::~EF3dObj_SP() {
}

RpAtomic * EF3dObj_SP::LodGetAtomic( const u32 lod ) const {
	struct Search {
		u32			lod;
		RpAtomic *	found;
	} search = { lod, nullptr };
	if ( mpClump == nullptr ) {
		return nullptr;
	}
	RpClumpForAllAtomics(
		mpClump,
		[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
			Search * const s = static_cast<Search *>( data );
			if ( ApGetAtomicLod( atomic ) != s->lod ) {
				return atomic;
			}
			s->found = atomic;
			return nullptr;
		},
		&search );
	return search.found;
}

void EF3dObj_SP::SetBlendingColor( const f32 red, const f32 green, const f32 blue, const f32 alpha ) {
	mfBlendingColor[0] = red;
	mfBlendingColor[1] = green;
	mfBlendingColor[2] = blue;
	mfBlendingColor[3] = alpha;
	if ( red != 1.0f || green != 1.0f || blue != 1.0f || alpha != 1.0f ) {
		mui3dObjState |= EF_3D_OBJ_BLENDING_COLOR;
	} else {
		mui3dObjState &= ~EF_3D_OBJ_BLENDING_COLOR;
	}
}

RpAtomic * EF3dObj_SP::EmptyRender( RpAtomic * atomic ) {
	return atomic;
}

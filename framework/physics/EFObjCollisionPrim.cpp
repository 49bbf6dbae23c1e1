#include "framework/physics/EFObjCollisionPrim.h"

#include <limits>

EFObjCollisionPrim::EFObjCollisionPrim( DTFrame * frame )
	: mui32Shape( EF_PRIM_SPHERE ), mui32Tag( 0 ), moCurrentAttrib(), moBaseAttrib(), moLogicAttrib(),
	  mpuiLockedIntAttribs(), mfMaxRadius( 0.0f ), moPrimPos( std::numeric_limits<f32>::max(), 0.0f, 0.0f ), moTrans(),
	  muiPrimFlags( 0 ), mpoFrame( frame ) {
}

EFObjCollisionPrim::~EFObjCollisionPrim() {
}

void EFObjCollisionPrim::PrecalcPrimData() {
}

void EFObjCollisionPrim::UpdateCurrentAttrib( const u32 index ) {
	if ( index >= EF_COL_PRIM_ATTRIB_WORDS ) {
		return;
	}
	const u32 lock = mpuiLockedIntAttribs[index];
	moCurrentAttrib.IntArray[index] = ( moBaseAttrib.IntArray[index] & ~lock ) | ( moLogicAttrib.IntArray[index] & lock );
}

void EFObjCollisionPrim::UpdateCurrentAttribs() {
	for ( u32 i = 0; i < EF_COL_PRIM_ATTRIB_WORDS; i++ ) {
		UpdateCurrentAttrib( i );
	}
}

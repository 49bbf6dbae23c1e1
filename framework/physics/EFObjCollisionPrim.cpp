#include "framework/physics/EFObjCollisionPrim.h"

#include "datatypes/maths/DTFrame.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"

#include <limits>

EFObjCollisionPrim::EFObjCollisionPrim( DTFrame * frame )
	: mui32Shape( EF_PRIM_SPHERE ), mui32Tag( 0 ), moCurrentAttrib(), moBaseAttrib(), moLogicAttrib(),
	  mpuiLockedIntAttribs(), mfMaxRadius( 0.0f ), moPrimPos( std::numeric_limits<f32>::max(), 0.0f, 0.0f ), moTrans(),
	  muiPrimFlags( 0 ), mpoFrame( frame ) {
}

EFObjCollisionPrim::~EFObjCollisionPrim() {
}

void EFObjCollisionPrim::PrecalcPrimData() {
	if ( mpoFrame == nullptr ) {
		moPrimPos = moTrans;
		return;
	}
	const RwMatrix * const world = RwFrameGetLTM( mpoFrame->GetRwFrame() );
	DTVector3d offset;
	RwV3dTransformVectors( DTAsRwV3d( &offset ), DTAsRwV3d( &moTrans ), 1, world );
	moPrimPos = DTVector3d( world->pos.x, world->pos.y, world->pos.z ) + offset;
}

void EFObjCollisionPrim::Translate( const DTVector3d & v ) {
	moPrimPos += v;
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

bool EFObjCollisionPrim::Meet( const EFObjCollisionPrim & a, const EFObjCollisionPrim & b ) {
	return ( a.GetAttrib( EF_ATTR_TYPE ) & b.GetAttrib( EF_ATTR_DETECT ) ) != 0 ||
		   ( a.GetAttrib( EF_ATTR_DETECT ) & b.GetAttrib( EF_ATTR_TYPE ) ) != 0 ||
		   ( a.GetAttrib( EF_ATTR_UD_TYPE ) & b.GetAttrib( EF_ATTR_UD_DETECT ) ) != 0 ||
		   ( a.GetAttrib( EF_ATTR_UD_DETECT ) & b.GetAttrib( EF_ATTR_UD_TYPE ) ) != 0;
}

u32 EFObjCollisionPrim::Mirror( const EFCheckCollisionIn & in, EFCheckCollisionOut & out, EFObjCollisionPrim * other ) {
	const EFCheckCollisionIn reversed = { in.mfMaxTime, -in.moVelocity };
	const u32 result = other->CheckObjPrimCollision( reversed, out, this );
	if ( ( result & ( CS_COL_HIT | CS_COL_PUSH ) ) != 0 ) {
		out.moColNormal = -out.moColNormal;
		out.moEffectivePartDep = -out.moEffectivePartDep;
	}
	return result;
}

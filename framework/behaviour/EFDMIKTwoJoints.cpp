#include "framework/behaviour/EFDMIKTwoJoints.h"

#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "graphics3d/core/RwFrame.h"

#include <cfloat>

namespace {

constexpr u32 NO_TAG			= 0xFFFFFFFF;
constexpr f32 FAR				= 10000.0f;
constexpr u32 OPTION_MATRIX		= 0x1;
constexpr u32 OPTION_LIMIT		= 0x2;
constexpr u32 LIMB_DEFAULT		= 0x100;
constexpr u32 POLYGON_DEFAULT	= 0x800;

bool IsZero( const DTVector3d & v ) {
	return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

}

EFDMIKTwoJoints::EFDMIKTwoJoints( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mui32Count( 0 ), mai32PrimIndex(), mui32Options( 0 ), mui32ObjMask( 0 ),
	  mui32EnvMask( 0 ), maLimbs() {
	SetParams( nullptr );
}

void EFDMIKTwoJoints::SetParams( void * params ) {
	const DMIKTwoJointsParams * const record = static_cast<const DMIKTwoJointsParams *>( params );
	if ( record == nullptr ) {
		mui32Count = 0;
		mui32Options = 0;
		mui32ObjMask = 0;
		mui32EnvMask = 0;
		for ( s32 & index : mai32PrimIndex ) {
			index = -1;
		}
		return;
	}
	mui32Count = record->ui32Count < DM_IK_LIMBS ? record->ui32Count : DM_IK_LIMBS;
	for ( u32 i = 0; i < DM_IK_LIMBS; i++ ) {
		mai32PrimIndex[i] = mpoOwner->moCollisionModel.PrimTagToPrimIndex( record->aui32PrimTag[i] );
	}
	mui32Options = record->ui32Options;
	mui32ObjMask = record->ui32ObjMask;
	mui32EnvMask = record->ui32EnvMask;
}

void EFDMIKTwoJoints::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMIKTwoJointsParams & record = *static_cast<DMIKTwoJointsParams *>( params );
	record.ui32Count = mui32Count;
	for ( u32 i = 0; i < DM_IK_LIMBS; i++ ) {
		const EFObjCollisionPrim * const prim =
			mpoOwner->moCollisionModel.GetPrimitive( static_cast<u32>( mai32PrimIndex[i] ) );
		record.aui32PrimTag[i] = prim != nullptr ? prim->mui32Tag : NO_TAG;
	}
	record.ui32Options = mui32Options;
	record.ui32ObjMask = mui32ObjMask;
	record.ui32EnvMask = mui32EnvMask;
}

void EFDMIKTwoJoints::PostColUpdate( EFCollisionStage * stage, f32 ) {
	if ( stage == nullptr ) {
		return;
	}
	bool anyLimb = false;
	for ( u32 i = 0; i < mui32Count; i++ ) {
		Limb & limb = maLimbs[i];
		limb = Limb{ nullptr, nullptr, DTVector3d(), DTVector3d(), DTVector3d(), FAR };
		EFObjCollisionPrim * const prim =
			mpoOwner->moCollisionModel.GetPrimitive( static_cast<u32>( mai32PrimIndex[i] ) );
		if ( prim == nullptr ) {
			continue;
		}
		const bool takesPart = ( prim->GetAttrib( 3 ) & mui32ObjMask ) != 0 ||
							   ( ( prim->GetAttrib( 0 ) & LIMB_DEFAULT ) != 0 && mui32ObjMask == 0 );
		if ( !takesPart ) {
			continue;
		}
		limb.mpoPrim = prim;
		limb.mpoFrame = prim->GetFrame();
		if ( limb.mpoFrame != nullptr ) {
			limb.moEnd = DMRow( RwFrameGetLTM( limb.mpoFrame->GetRwFrame() )->pos );
		}
		anyLimb = true;
	}
	if ( !anyLimb ) {
		return;
	}
	for ( u32 p = 0; p < stage->mui32NbEnvPrims; p++ ) {
		const EFEnvCollisionPrim * const polygon = stage->mppoEnvPrims[p];
		if ( polygon == nullptr ) {
			continue;
		}
		const EnvPrimAttribs & attribs = *polygon->GetAttribs();
		if ( ( attribs.ui32UDDetectedBy & mui32EnvMask ) == 0 &&
			 !( ( attribs.ui32DetectedBy & POLYGON_DEFAULT ) != 0 && mui32EnvMask == 0 ) ) {
			continue;
		}
		for ( u32 i = 0; i < mui32Count; i++ ) {
			Limb & limb = maLimbs[i];
			if ( limb.mpoPrim == nullptr ) {
				continue;
			}
			// The correction is the nearest point's offset from the centre.
			DTVector3d candidate;
			if ( EFCollisionStage_FindNearestPoint( *polygon, limb.mpoPrim->moPrimPos, FLT_MAX, &candidate ) ==
				 CS_FINDNEARESTPOINT_TOOFAR ) {
				continue;
			}
			const f32 distance2 = candidate * candidate;
			if ( distance2 <= limb.mfBest ) {
				limb.mfBest = distance2;
				limb.moCorrection = candidate;
				limb.moNormal = polygon->moPlane.moNormal;
			}
		}
	}
	for ( u32 i = 0; i < mui32Count; i++ ) {
		Limb & limb = maLimbs[i];
		if ( limb.mpoPrim == nullptr || ( limb.mpoPrim->GetAttrib( 0 ) & EF_PRIM_OFF ) != 0 ||
			 limb.mpoFrame == nullptr ) {
			continue;
		}
		if ( ( mui32Options & ( OPTION_MATRIX | OPTION_LIMIT ) ) != 0 && IsZero( limb.moNormal ) ) {
			continue;
		}
		if ( IsZero( limb.moCorrection ) ) {
			continue;
		}
		if ( ( mui32Options & OPTION_LIMIT ) != 0 ) {
			const f32 radius = limb.mpoPrim->GetMinRadius();
			if ( limb.mfBest > radius * radius && !( limb.moCorrection * limb.moNormal > 0.0f ) ) {
				continue;
			}
		}
		const DTVector3d target = limb.moEnd + limb.moCorrection;
		if ( ( mui32Options & OPTION_MATRIX ) == 0 ) {
			moSolver.Solve( *limb.mpoFrame, target );
			continue;
		}
		DTMatrix matrix;
		matrix.oMat = *RwFrameGetLTM( limb.mpoFrame->GetRwFrame() );
		const DTVector3d up = DMUnit( limb.moNormal );
		const DTVector3d at = *matrix.GetAt();
		const DTVector3d level = DMUnit( at - up * ( at * up ) );
		*matrix.GetUp() = up;
		*matrix.GetAt() = level;
		*matrix.GetRight() = DMCross( up, level );
		*matrix.GetPos() = target;
		moSolver.Solve( *limb.mpoFrame, matrix );
	}
}

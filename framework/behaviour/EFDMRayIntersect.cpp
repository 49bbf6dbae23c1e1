#include "framework/behaviour/EFDMRayIntersect.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "datatypes/maths/DTVector3d.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>
#include <cstring>

namespace {

// How far beyond the frame sphere a ray end may lie and still grow it.
constexpr f32 GROW_BAND = 0.0025f;
// Bodies a probe never hits.
constexpr u32 NOT_HIT_FLAGS = 0x20 | 0x10000;

void CopyEnvHit( RayIntersectOut & out, const EnvPrimAttribs & attribs ) {
	out.oOutEnvObj.oOutEnv.ui16Tag = attribs.ui16Tag;
	out.oOutEnvObj.oOutEnv.ui16SurfaceType = attribs.ui16SurfaceType;
	out.oOutEnvObj.oOutEnv.oAttribs = attribs;
}

DTVector3d Transformed( const DTVector3d & v, const RwMatrix & matrix, const bool point ) {
	DTVector3d out;
	if ( point ) {
		RwV3dTransformPoints( DTAsRwV3d( &out ), DTAsRwV3d( &v ), 1, &matrix );
	} else {
		RwV3dTransformVectors( DTAsRwV3d( &out ), DTAsRwV3d( &v ), 1, &matrix );
	}
	return out;
}

}

EFDMRayIntersect::EFDMRayIntersect( EFPhysic * owner ) : EFDMRayIntersect( owner, TYPE_WORD ) {}

EFDMRayIntersect::EFDMRayIntersect( EFPhysic * owner, const u32 typeId )
	: EFPhysicModule( typeId | EF_DM_PHASE_PRE | EF_DM_PHASE_POST, owner ), moRay(), mui32Result( PS_RAY_NONE ),
	  moOut(), mbTestEverything( 0 ) {
	SetParams( nullptr );
}

void EFDMRayIntersect::SetParams( void * params ) {
	if ( params == nullptr ) {
		std::memset( static_cast<void *>( &moRay ), 0, sizeof( moRay ) );
		mui32Result = PS_RAY_NONE;
		std::memset( static_cast<void *>( &moOut ), 0, sizeof( moOut ) );
		mbTestEverything = 0;
		return;
	}
	const DMRayIntersectParams & record = *static_cast<const DMRayIntersectParams *>( params );
	moRay = record.oRay;
	moRay.ui32ExcludeObjID = DMStoredObjectId( record.oRay.ui32ExcludeObjID );
	mui32Result = static_cast<RayIntersectResult>( record.ui32Result );
	moOut = record.oOut;
}

void EFDMRayIntersect::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMRayIntersectParams & record = *static_cast<DMRayIntersectParams *>( params );
	record.oRay = moRay;
	record.ui32Result = mui32Result;
	record.oOut = moOut;
}

f32 EFDMRayIntersect::CalcRadiusFor( const EFDynamicPhysic & record, const DTVector3d & q ) {
	const DTVector3d d = q - record.oFrameBSpherePos;
	const f32 distance = std::sqrt( d * d );
	const f32 radius = std::fabs( record.fFrameBSphereRadius );
	if ( distance - radius > GROW_BAND ) {
		return -distance;
	}
	if ( distance - radius < 0.0f ) {
		return radius;
	}
	return distance;
}

u32 EFDMRayIntersect::PreColUpdate( EFDynamicPhysic & record, f32 ) {
	f32 k = CalcRadiusFor( record, moRay.oStartVector );
	if ( k > 0.0f ) {
		k = CalcRadiusFor( record, moRay.oStartVector + moRay.oDeplVector );
	}
	mbTestEverything = k <= 0.0f ? 1 : 0;
	if ( k > record.fFrameBSphereRadius ) {
		record.fFrameBSphereRadius = k;
	}
	return 1;
}

void EFDMRayIntersect::IntersectEnvironment( EFCollisionStage & stage, f32 & t ) {
	const DTVector3d & start = moRay.oStartVector;
	const DTVector3d & ray = moRay.oDeplVector;
	for ( u32 i = 0; i < stage.mui32NbEnvPrims; i++ ) {
		const EFEnvCollisionPrim * const polygon = stage.mppoEnvPrims[i];
		if ( polygon == nullptr ) {
			continue;
		}
		const EnvPrimAttribs & attribs = *polygon->GetAttribs();
		if ( ( attribs.ui32DetectedBy & moRay.ui32EnvDetectType ) == 0 &&
			 ( attribs.ui32UDDetectedBy & moRay.ui32EnvUDDetectType ) == 0 ) {
			continue;
		}
		const DTVector3d & n = polygon->moPlane.moNormal;
		const f32 den = n * ray;
		if ( den == 0.0f ) {
			continue;
		}
		const f32 hit = ( n * start + polygon->moPlane.mfD ) / -den;
		if ( !( hit >= 0.0f && hit < t ) ) {
			continue;
		}
		const DTVector3d p = start + ray * hit;
		const EFEnvCollisionPrim::Plane * const edges = polygon->GetEdges();
		const u32 count = DMPolygonVertexCount( *polygon );
		bool inside = true;
		for ( u32 e = 0; e < count && inside; e++ ) {
			inside = edges[e].moNormal * p + edges[e].mfD <= 0.0f;
		}
		if ( !inside ) {
			continue;
		}
		mui32Result = PS_RAY_ENV;
		moOut.oIntersectionPoint = p;
		moOut.oIntersectionNormal = n;
		CopyEnvHit( moOut, attribs );
		t = hit;
	}
}

void EFDMRayIntersect::IntersectObjects( f32 & t ) {
	EFRayIntersectOut out = {};
	bool hit = false;
	u32 hitId = 0;
	for ( u32 list = 0; list < 2; list++ ) {
		for ( EFPhysic * body = EFPhysicMgr::moPhysicMgr.GetFirstPhysic( list ); body != nullptr;
			  body = body->moPhysicNode.pNext != nullptr ? body->moPhysicNode.pNext->GetData<EFPhysic>() : nullptr ) {
			if ( ( body->mui32PhysicFlags & NOT_HIT_FLAGS ) != 0 ) {
				continue;
			}
			const EFPhysicData * const owner = body->GetOwner();
			const u32 id = owner != nullptr ? owner->GetUID() : 0;
			if ( moRay.ui32ExcludeObjID != 0 && id == moRay.ui32ExcludeObjID ) {
				continue;
			}
			if ( body->RayIntersect( moRay, out, t ) != PS_RAY_NONE ) {
				hit = true;
				hitId = id;
			}
		}
	}
	if ( !hit ) {
		return;
	}
	mui32Result = PS_RAY_OBJ;
	moOut.oIntersectionPoint = moRay.oStartVector + moRay.oDeplVector * t;
	moOut.oIntersectionNormal = out.oIntersectionNormal;
	moOut.oOutEnvObj.oOutObj.ui32ObjID = hitId;
	moOut.oOutEnvObj.oOutObj.ui32TagPrim = out.poObjSubCollider != nullptr ? out.poObjSubCollider->mui32Tag : 0;
}

bool EFDMRayIntersect::IntersectCollision( EFCollisionStage & stage ) {
	mui32Result = PS_RAY_NONE;
	f32 t = 1.0f;
	if ( ( moRay.ui32EnvDetectType | moRay.ui32EnvUDDetectType ) != 0 ) {
		IntersectEnvironment( stage, t );
	}
	if ( ( moRay.ui32ObjDetectType | moRay.ui32ObjUDDetectType ) != 0 ) {
		IntersectObjects( t );
	}
	return mui32Result != PS_RAY_NONE;
}

bool EFDMRayIntersect::IntersectAll() {
	EFRayIntersectOut out = {};
	mui32Result = EFPhysicMgr::moPhysicMgr.RayIntersect( moRay, out );
	if ( mui32Result == PS_RAY_NONE ) {
		return false;
	}
	moOut.oIntersectionPoint = out.oIntersectionPoint;
	moOut.oIntersectionNormal = out.oIntersectionNormal;
	if ( mui32Result == PS_RAY_OBJ ) {
		const EFPhysicData * const owner = out.poObjCollider != nullptr ? out.poObjCollider->GetOwner() : nullptr;
		moOut.oOutEnvObj.oOutObj.ui32ObjID = owner != nullptr ? owner->GetUID() : 0;
		moOut.oOutEnvObj.oOutObj.ui32TagPrim = out.poObjSubCollider != nullptr ? out.poObjSubCollider->mui32Tag : 0;
	} else if ( out.poEnvCollider != nullptr ) {
		CopyEnvHit( moOut, *out.poEnvCollider->GetAttribs() );
	}
	return true;
}

void EFDMRayIntersect::PostColUpdate( EFCollisionStage * stage, f32 ) {
	if ( stage == nullptr ) {
		return;
	}
	const RwMatrix * const ltm = DMOwnerLTM( *this );
	const DTVector3d start = moRay.oStartVector;
	const DTVector3d ray = moRay.oDeplVector;
	if ( ltm != nullptr ) {
		moRay.oStartVector = Transformed( start, *ltm, true );
		moRay.oDeplVector = Transformed( ray, *ltm, false );
	}
	const bool hit = mbTestEverything != 0 ? IntersectAll() : IntersectCollision( *stage );
	if ( !hit ) {
		DMChangeState( *this, mui32State & ~1u );
	} else {
		if ( ltm != nullptr ) {
			RwMatrix inverse;
			RwMatrixInvert( &inverse, ltm );
			moOut.oIntersectionPoint = Transformed( moOut.oIntersectionPoint, inverse, true );
			moOut.oIntersectionNormal = Transformed( moOut.oIntersectionNormal, inverse, false );
		}
		DMChangeState( *this, mui32State | 1u );
	}
	moRay.oStartVector = start;
	moRay.oDeplVector = ray;
}

#include "framework/behaviour/EFDMEdgeDetect.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPrimSpace.h"

#include <cmath>

namespace {

constexpr u32 FLAG_PRIM_RADIUS		= 0x1;
constexpr u32 FLAG_ENVIRONMENT		= 0x4;
constexpr u32 FLAG_POLYGON_PRIMS	= 0x8;
// Attribute bit of a primitive that looks for, or offers, grabbable edges.
constexpr u32 GRAB_ATTRIB			= 0x200;
constexpr f32 DEFAULT_RADIUS		= 0.5f;
constexpr f32 NEGATIVE_RADIUS		= 0.1f;
// Ends closer than this per coordinate are the same edge.
constexpr f32 SAME_END				= 1.0f / 64.0f;

bool SameEnd( const DTVector3d & a, const DTVector3d & b ) {
	return std::fabs( a.x - b.x ) < SAME_END && std::fabs( a.y - b.y ) < SAME_END && std::fabs( a.z - b.z ) < SAME_END;
}

}

EFDMEdgeDetect::EFDMEdgeDetect( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfRadius( DEFAULT_RADIUS ), mui32PrimIndex( 0 ), mui32PrimTag( 0 ),
	  mui32CallbackIndex( 0 ), mui32Flags( FLAG_ENVIRONMENT ), mui32EdgeCount( 0 ), maEdges(), mui32OwnerId( 0 ) {}

void EFDMEdgeDetect::SetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	const DMEdgeDetectParams & record = *static_cast<const DMEdgeDetectParams *>( params );
	mui32PrimTag = record.ui32PrimTag;
	mui32PrimIndex = static_cast<u32>( mpoOwner->moCollisionModel.PrimTagToPrimIndex( record.ui32PrimTag ) );
	mui32Flags = record.ui32Flags;
	const EFObjCollisionPrim * const prim = mpoOwner->moCollisionModel.GetPrimitive( mui32PrimIndex );
	mfRadius = ( mui32Flags & FLAG_PRIM_RADIUS ) != 0 && prim != nullptr ? prim->mfMaxRadius : record.fRadius;
	if ( mfRadius < 0.0f ) {
		mfRadius = NEGATIVE_RADIUS;
	}
	mui32CallbackIndex = record.ui32CallbackIndex;
	mui32OwnerId = DMOwnerId( *this );
	DMRegisterLogicCallback( *this, NO_DM_EDGEDETECT, mui32CallbackIndex );
}

void EFDMEdgeDetect::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMEdgeDetectParams & record = *static_cast<DMEdgeDetectParams *>( params );
	record.ui32CallbackIndex = mui32CallbackIndex;
	record.ui32PrimTag = mui32PrimTag;
	record.fRadius = mfRadius;
	record.ui32Flags = mui32Flags;
}

void EFDMEdgeDetect::FindEdgeOnPolygon( const EFEnvCollisionPrim & polygon, const DTVector3d & p,
										const RwMatrix * toWorld, bool & changed ) {
	const f32 r2 = mfRadius * mfRadius;
	const u32 count = DMPolygonVertexCount( polygon );
	for ( u32 i = 0; i < count; i++ ) {
		if ( !DMEdgeGrabbable( polygon, i ) ) {
			continue;
		}
		DTVector3d a;
		DTVector3d b;
		DMPolygonEdge( polygon, i, &a, &b );
		const DTVector3d e = b - a;
		const f32 t = ( ( p - a ) * e ) / ( e * e );
		const DTVector3d c = a + e * t;
		const DTVector3d pa = p - a;
		const DTVector3d pb = p - b;
		const DTVector3d pc = p - c;
		const bool near = pa * pa <= r2 || pb * pb <= r2 || ( pc * pc <= r2 && t >= 0.0f && t <= 1.0f );
		if ( !near ) {
			continue;
		}
		if ( mui32EdgeCount >= EF_DM_EDGE_DETECT_MAX ) {
			return;
		}
		DMEdgeData edge = { a, b, polygon.moPlane.moNormal };
		if ( toWorld != nullptr ) {
			edge = { EFTransformPoint( a, toWorld ), EFTransformPoint( b, toWorld ),
					 EFTransformVector( polygon.moPlane.moNormal, toWorld ) };
		}
		DMEdgeData & slot = maEdges[mui32EdgeCount];
		if ( !SameEnd( slot.oStart, edge.oStart ) || !SameEnd( slot.oEnd, edge.oEnd ) ) {
			slot = edge;
			changed = true;
		}
		mui32EdgeCount++;
	}
}

bool EFDMEdgeDetect::FindEdges( EFCollisionStage & stage, const EFObjCollisionPrim & prim, const DTVector3d & p ) {
	const u32 previous = mui32EdgeCount;
	mui32EdgeCount = 0;
	bool changed = false;
	if ( ( mui32Flags & FLAG_ENVIRONMENT ) != 0 ) {
		for ( u32 i = 0; i < stage.mui32NbEnvPrims; i++ ) {
			const EFEnvCollisionPrim * const polygon = stage.mppoEnvPrims[i];
			if ( polygon == nullptr ) {
				continue;
			}
			const EnvPrimAttribs & attribs = *polygon->GetAttribs();
			if ( ( ( attribs.ui32DetectedBy & prim.GetAttrib( 5 ) ) == 0 &&
				   ( attribs.ui32UDDetectedBy & prim.GetAttrib( 6 ) ) == 0 ) ||
				 polygon->mui16EdgeGrab == 0 ) {
				continue;
			}
			FindEdgeOnPolygon( *polygon, p, nullptr, changed );
		}
	}
	if ( ( mui32Flags & FLAG_POLYGON_PRIMS ) != 0 && ( prim.GetAttrib( 2 ) & GRAB_ATTRIB ) != 0 ) {
		for ( const EFCollisionStage::CollidableList & list : stage.maCollidables ) {
			for ( u32 k = 0; list.mppoRecords != nullptr && k < list.mui32Count; k++ ) {
				const EFDynamicPhysic * const record = list.mppoRecords[k];
				const EFPhysic * const body = record != nullptr ? record->poPhysic : nullptr;
				if ( body == nullptr ) {
					continue;
				}
				const EFCollisionModel & model = body->moCollisionModel;
				for ( u32 j = 0; j < model.mui32MaxPrims; j++ ) {
					const EFObjCollisionPrim * const other = model.GetPrimitive( j );
					if ( other == nullptr || other->mui32Shape != EF_PRIM_POLYGON ||
						 ( other->GetAttrib( 1 ) & GRAB_ATTRIB ) == 0 ) {
						continue;
					}
					const EFObjCollisionPolygon & polygons = *static_cast<const EFObjCollisionPolygon *>( other );
					if ( !polygons.HasMatrices() || polygons.mpoFirstPolygon == nullptr ) {
						continue;
					}
					const DTVector3d local = EFTransformPoint( p, polygons.mpoInverseMatrix );
					const u8 * bytes = reinterpret_cast<const u8 *>( polygons.mpoFirstPolygon );
					for ( u32 n = 0; n < polygons.mui32NbPolygons; n++ ) {
						const EFEnvCollisionPrim & polygon = *reinterpret_cast<const EFEnvCollisionPrim *>( bytes );
						if ( polygon.mui16EdgeGrab != 0 ) {
							FindEdgeOnPolygon( polygon, local, polygons.mpoWorldMatrix, changed );
						}
						bytes += EF_POLYGON_HEADER_BYTES + EF_POLYGON_VERTEX_BYTES * DMPolygonVertexCount( polygon );
					}
				}
			}
		}
	}
	if ( mui32EdgeCount != previous ) {
		changed = true;
	}
	return changed;
}

void EFDMEdgeDetect::PostColUpdate( EFCollisionStage * stage, f32 ) {
	if ( stage == nullptr ) {
		return;
	}
	const EFObjCollisionPrim * const prim = mpoOwner->moCollisionModel.GetPrimitive( mui32PrimIndex );
	if ( prim == nullptr ) {
		return;
	}
	if ( !FindEdges( *stage, *prim, prim->moPrimPos ) || gpoGameLogicMgr == nullptr ) {
		return;
	}
	DMEdgeDetectRecord record = { mui32PrimTag, mui32EdgeCount, maEdges };
	gpoGameLogicMgr->GetNotificationMgr().Notify( NO_DM_EDGEDETECT, mui32OwnerId, mui32OwnerId, &record, false );
}

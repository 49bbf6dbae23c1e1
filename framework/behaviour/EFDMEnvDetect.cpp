#include "framework/behaviour/EFDMEnvDetect.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "datatypes/memory/MMMemory.h"

#include <cstring>

static_assert( sizeof( DMPolygonPlane ) == sizeof( EFEnvCollisionPrim::Plane ), "a plane is read in place" );

EFDMEnvDetect::EFDMEnvDetect( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mui32CallbackIndex( 0 ), mui32OwnerId( 0 ), mui32MaxPolygons( 0 ),
	  mpoPolygons( nullptr ), mpoSending( nullptr ), mbSentReplaced( false ) {}

EFDMEnvDetect::~EFDMEnvDetect() {
	MMFree( mpoPolygons );
}

void EFDMEnvDetect::SetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	const DMEnvDetectParams & record = *static_cast<const DMEnvDetectParams *>( params );
	mui32CallbackIndex = record.ui32CallbackIndex;
	mui32OwnerId = DMOwnerId( *this );
	DMRegisterLogicCallback( *this, NO_DM_ENVDETECT, mui32CallbackIndex );
	if ( mpoPolygons != nullptr && mpoPolygons == mpoSending ) {
		mbSentReplaced = true;
	} else {
		MMFree( mpoPolygons );
	}
	mpoPolygons = static_cast<DMEnvDetectPolygon *>( MMCalloc( record.ui32MaxPolygons, sizeof( DMEnvDetectPolygon ) ) );
	// A maximum the allocator cannot serve reports nothing.
	mui32MaxPolygons = mpoPolygons != nullptr ? record.ui32MaxPolygons : 0;
}

void EFDMEnvDetect::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMEnvDetectParams & record = *static_cast<DMEnvDetectParams *>( params );
	record.ui32CallbackIndex = mui32CallbackIndex;
	record.ui32MaxPolygons = mui32MaxPolygons;
}

void EFDMEnvDetect::PostColUpdate( EFCollisionStage * stage, f32 ) {
	if ( stage == nullptr || gpoGameLogicMgr == nullptr ) {
		return;
	}
	if ( mpoPolygons != nullptr ) {
		std::memset( static_cast<void *>( mpoPolygons ), 0, sizeof( DMEnvDetectPolygon ) * mui32MaxPolygons );
	}
	const u32 n = stage->mui32NbEnvPrims < mui32MaxPolygons ? stage->mui32NbEnvPrims : mui32MaxPolygons;
	DMEnvDetectRecord record = { 0, nullptr };
	DMEnvDetectPolygon * const sent = mpoPolygons;
	if ( stage->mui32NbEnvPrims != 0 && n != 0 ) {
		for ( u32 i = 0; i < n; i++ ) {
			const EFEnvCollisionPrim * const polygon = stage->mppoEnvPrims[i];
			DMEnvDetectPolygon & out = sent[i];
			if ( polygon == nullptr ) {
				continue;
			}
			out.poPlane = reinterpret_cast<const DMPolygonPlane *>( &polygon->moPlane );
			out.poAttribs = polygon->GetAttribs();
			out.ui32NbVertex = polygon->mui16NbVertex;
			// As many entries as the count says; those past the stored
			// vertices (bit 15 of the count) stay null.
			out.ppoVertices = static_cast<const DTVector3d **>( MMCalloc( out.ui32NbVertex, sizeof( DTVector3d * ) ) );
			const u32 stored = DMPolygonVertexCount( *polygon );
			for ( u32 v = 0; out.ppoVertices != nullptr && v < stored; v++ ) {
				out.ppoVertices[v] = &polygon->GetVertex()[v];
			}
		}
		record = { n, sent };
	}
	mpoSending = sent;
	gpoGameLogicMgr->GetNotificationMgr().Notify( NO_DM_ENVDETECT, mui32OwnerId, mui32OwnerId, &record, false );
	mpoSending = nullptr;
	for ( u32 i = 0; i < record.ui32Count; i++ ) {
		MMFree( static_cast<void *>( sent[i].ppoVertices ) );
		sent[i].ppoVertices = nullptr;
	}
	if ( mbSentReplaced ) {
		mbSentReplaced = false;
		MMFree( sent );
	}
}

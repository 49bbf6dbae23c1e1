#include "framework/graphics/animation/EFAnimNode.h"

#include "framework/core/engine/EFCallTrace.h"

EFAnimNode::EFAnimNode( const OPNodeType_e type )
	: DTOperator( type ), muiUID( 0 ), muiIndex( 0 ), muiGroup( 0 ), mpGameObjectOwner( nullptr ), mp3dObj( nullptr ),
	  mpAnimRes( nullptr ), muiAnimState( 0 ), mfCurrentTime( 0.0f ), mfDuration( 0.0f ), mfSpeed( 0.0f ) {
}

void EFAnimNode::SetTime( const f32 time ) {
	mfCurrentTime = time;
}

void EFAnimNode::Connect( EFPosData * ) {
}

EFAnimNode::~EFAnimNode() {
}

bool EFAnimNode::Initialize( DTCreationParameters * ) {
	EFCallTraceAdd( "EFAnimNode::Initialize" );
	return true;
}

EFAnimNode * EFAnimNode::CopyInto( EFAnimNode * copy ) const {
	if ( copy == nullptr ) {
		return nullptr;
	}
	copy->muiUID = muiUID;
	copy->muiIndex = muiIndex;
	copy->mpAnimRes = mpAnimRes;
	return copy;
}

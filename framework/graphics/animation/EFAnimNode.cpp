#include "framework/graphics/animation/EFAnimNode.h"

#include "framework/core/engine/EFCallTrace.h"

EFAnimNode::EFAnimNode( const OPNodeType_e type )
	: DTOperator( type ), muiUID( 0 ), muiIndex( 0 ), mpGameObjectOwner( nullptr ), mpAnimRes( nullptr ) {
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

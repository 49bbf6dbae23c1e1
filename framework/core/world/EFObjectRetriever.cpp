#include "framework/core/world/EFObjectRetriever.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFAllRetriever.h"
#include "framework/core/world/EFChildrenRetriever.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFGroupIDRetriever.h"
#include "framework/core/world/EFGroupMaskRetriever.h"
#include "framework/core/world/EFInRangeIdRetriever.h"
#include "framework/core/world/EFInRangeMaskRetriever.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFNearestIDRetriever.h"
#include "framework/core/world/EFNearestMaskRetriever.h"
#include "framework/core/world/EFParentRetriever.h"
#include "framework/core/world/EFWorld.h"

#include <new>

EFObjectRetriever::EFObjectRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: mpParams( params ), mpObjectMap( &map ) {
}

EFObjectRetriever::~EFObjectRetriever() {
}

void EFObjectRetriever::Reset() {
	mpParams->all.uiLastRetrieved = EF_RETRIEVER_START;
}

EFGameObject * EFObjectRetriever::GetObject( const u32 id ) const {
	EFGameObject * object = nullptr;
	if ( id == EF_RUNNING_OBJECT_ID ) {
		object = EFWorld::GetRunningGameObject();
	} else {
		const Node * const node = mpObjectMap->Find( id );
		object = node != nullptr ? node->mValue : nullptr;
	}
	return object != nullptr && IsPresent( *object ) ? object : nullptr;
}

EFObjectRetriever * EFObjectRetriever::Create( const u32 id, ObjectRetrieverParams * params, const ObjectMap & map ) {
	if ( params == nullptr ) {
		return nullptr;
	}
	switch ( id ) {
	case EF_QUERY_ALL:
		return new ( std::nothrow ) EFAllRetriever( params, map );
	case EF_QUERY_NEAREST_ID:
		return new ( std::nothrow ) EFNearestIDRetriever( params, map );
	case EF_QUERY_NEAREST_MASK:
		return new ( std::nothrow ) EFNearestMaskRetriever( params, map );
	case EF_QUERY_GROUP_ID:
		return new ( std::nothrow ) EFGroupIDRetriever( params, map );
	case EF_QUERY_GROUP_MASK:
		return new ( std::nothrow ) EFGroupMaskRetriever( params, map );
	case EF_QUERY_PARENT:
		return new ( std::nothrow ) EFParentRetriever( params, map );
	case EF_QUERY_CHILDREN:
		return new ( std::nothrow ) EFChildrenRetriever( params, map );
	case EF_QUERY_IN_RANGE_ID:
		return new ( std::nothrow ) EFInRangeIdRetriever( params, map );
	case EF_QUERY_IN_RANGE_MASK:
		return new ( std::nothrow ) EFInRangeMaskRetriever( params, map );
	default:
		return nullptr;
	}
}

const EFObjectRetriever::Node * EFObjectRetriever::ResumeWalk( const u32 cursor ) const {
	if ( cursor == EF_RETRIEVER_START ) {
		return mpObjectMap->GetFirst();
	}
	const Node * const node = mpObjectMap->Find( cursor );
	if ( node != nullptr ) {
		return node;
	}
	// The entry has gone: start again at the head of its bucket, which is
	// the first entry of that bucket or of a later one.
	const u32 size = mpObjectMap->GetTableSize();
	const u32 bucket = KeyToHashIndex( cursor, size );
	for ( const Node * at = mpObjectMap->GetFirst(); at != nullptr; at = mpObjectMap->GetNext( at ) ) {
		if ( KeyToHashIndex( at->mKey, size ) >= bucket ) {
			return at;
		}
	}
	return nullptr;
}

u32 EFObjectRetriever::CursorAfter( const Node * node, const u32 end ) const {
	const Node * const next = mpObjectMap->GetNext( node );
	return next != nullptr ? next->mKey : end;
}

bool EFObjectRetriever::IsPresent( const EFGameObject & object ) {
	return ( object.muiFlags & EF_INSTANCE_WITHDRAWN ) == 0;
}

bool EFObjectRetriever::InGroup( const EFGameObject & object, const u32 group, const bool mask ) {
	return mask ? ( object.muiGroupMask & group ) != 0 : object.muiGroupID == group;
}

DTVector3d EFObjectRetriever::WorldPosition( EFGameObject & object ) {
	DTFrame * const frame = object.GetFrame();
	return frame != nullptr ? *frame->GetWMatrix()->GetPos() : DTVector3d();
}

DTVector3d EFObjectRetriever::Centre( const u32 sourceId, const f32 x, const f32 y, const f32 z ) const {
	const DTVector3d point( x, y, z );
	EFGameObject * const source = sourceId != 0 ? GetObject( sourceId ) : nullptr;
	if ( source == nullptr || source->GetFrame() == nullptr ) {
		return point;
	}
	DTVector3d centre;
	source->GetFrame()->GetWMatrix()->TransformPoint( point, centre );
	return centre;
}

#include "datatypes/waypoint/DTWpGrpMgr.h"

#include "datatypes/waypoint/DTWaypointGrp.h"

DTWpGrpMgr DTWpGrpMgr::moWpGrpMgr;

DTWpGrpMgr::DTWpGrpMgr() : DTMap<u32, DTWaypointGrp *>( DEFAULT_TABLE_SIZE ) {
}

DTWpGrpMgr::~DTWpGrpMgr() {
	RemoveAllWaypointGrp();
}

bool DTWpGrpMgr::AddWaypointGrp( DTWaypointGrp * group, const u32 id ) {
	if ( group == nullptr ) {
		return false;
	}
	// The entry is made before the group leaves where it was, so that a
	// failed allocation leaves every id as it stood.
	Node * node = Find( id );
	if ( node == nullptr ) {
		if ( !Set( id, nullptr ) ) {
			return false;
		}
		node = Find( id );
	}
	if ( node->mValue == group ) {
		return true;
	}
	Detach( group );
	group->mpoReplaced = node->mValue;
	node->mValue = group;
	return true;
}

void DTWpGrpMgr::Detach( DTWaypointGrp * group ) {
	for ( Node * node = GetFirst(); node != nullptr; node = GetNext( node ) ) {
		if ( node->mValue == group ) {
			node->mValue = group->mpoReplaced;
			group->mpoReplaced = nullptr;
			if ( node->mValue == nullptr ) {
				Remove( node->mKey );
			}
			return;
		}
		for ( DTWaypointGrp * kept = node->mValue; kept != nullptr; kept = kept->mpoReplaced ) {
			if ( kept->mpoReplaced == group ) {
				kept->mpoReplaced = group->mpoReplaced;
				group->mpoReplaced = nullptr;
				return;
			}
		}
	}
}

DTWaypointGrp * DTWpGrpMgr::GetWaypointGrp( const u32 id ) const {
	const Node * const node = Find( id );
	return node != nullptr ? node->mValue : nullptr;
}

void DTWpGrpMgr::RemoveAllWaypointGrp() {
	for ( Node * node = GetFirst(); node != nullptr; node = GetNext( node ) ) {
		DTWaypointGrp * group = node->mValue;
		while ( group != nullptr ) {
			DTWaypointGrp * const replaced = group->mpoReplaced;
			delete group;
			group = replaced;
		}
		node->mValue = nullptr;
	}
	RemoveAll();
}

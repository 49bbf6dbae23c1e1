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
	Node * const node = Find( id );
	if ( node == nullptr ) {
		return Set( id, group );
	}
	DTWaypointGrp * const replaced = node->mValue;
	if ( replaced != group && replaced != nullptr ) {
		// A group registered again after it was replaced leaves the chain
		// first: linked in front of it too, the chain would close on itself.
		for ( DTWaypointGrp * kept = replaced; kept->mpoReplaced != nullptr; kept = kept->mpoReplaced ) {
			if ( kept->mpoReplaced == group ) {
				kept->mpoReplaced = group->mpoReplaced;
				group->mpoReplaced = nullptr;
				break;
			}
		}
		DTWaypointGrp * last = group;
		while ( last->mpoReplaced != nullptr ) {
			last = last->mpoReplaced;
		}
		last->mpoReplaced = replaced;
	}
	node->mValue = group;
	return true;
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

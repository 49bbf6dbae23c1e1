#include "datatypes/waypoint/DTWpGrpMgr.h"

#include "datatypes/waypoint/DTWaypointGrp.h"

DTWpGrpMgr DTWpGrpMgr::moWpGrpMgr;

DTWpGrpMgr::DTWpGrpMgr() : DTMap<u32, DTWaypointGrp *>( DEFAULT_TABLE_SIZE ) {
}

DTWpGrpMgr::~DTWpGrpMgr() {
	RemoveAllWaypointGrp();
}

bool DTWpGrpMgr::AddWaypointGrp( DTWaypointGrp * group, const u32 id ) {
	return Set( id, group );
}

DTWaypointGrp * DTWpGrpMgr::GetWaypointGrp( const u32 id ) const {
	const Node * const node = Find( id );
	return node != nullptr ? node->mValue : nullptr;
}

void DTWpGrpMgr::RemoveAllWaypointGrp() {
	for ( Node * node = GetFirst(); node != nullptr; node = GetNext( node ) ) {
		delete node->mValue;
		node->mValue = nullptr;
	}
	RemoveAll();
}

#include "datatypes/waypoint/DTWaypointGrp.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/property/DTVariant.h"
#include "datatypes/waypoint/DTWpGrpMgr.h"

namespace {

constexpr u32 OWN_MEMBER_COUNT = 2;
constexpr u32 FLOATS_PER_POINT = 3;

} // namespace

DT_IMPLEMENT_DYNAMIC_CLASS( DTWaypointGrp, "DT_WPGRP", DT_WAYPOINT_GRP_CLASS_ID, IT_OBJECT );

DTWaypointGrp::DTWaypointGrp() : muiNbWaypoint( 0 ), mvPoints(), mpoReplaced( nullptr ), mbRegistered( false ) {
	ReserveMembers( OWN_MEMBER_COUNT );
	RegisterMember( DTVariant( &muiNbWaypoint ), "NB_WAYPOINT" );
	RegisterMember( DTVariant( &mvPoints ), "POINTS" );
}

DTWaypointGrp::~DTWaypointGrp() {
}

s32 DTWaypointGrp::GetClassID() const {
	return DT_WAYPOINT_GRP_CLASS_ID;
}

const char * DTWaypointGrp::GetClassName() const {
	return "DT_WPGRP";
}

s32 DTWaypointGrp::LoadFromStream( DTBasePersistStream & stream ) {
	const s32 result = DTStreamable::LoadFromStream( stream );
	mbRegistered = DTWpGrpMgr::moWpGrpMgr.AddWaypointGrp( this, muiUID ) || mbRegistered;
	return result;
}

bool DTWaypointGrp::IsOwnedElsewhere() const {
	return mbRegistered;
}

u32 DTWaypointGrp::GetPointCount() const {
	const u32 whole = mvPoints.GetSize() / FLOATS_PER_POINT;
	return muiNbWaypoint < whole ? muiNbWaypoint : whole;
}

bool DTWaypointGrp::GetPoint( const u32 index, DTVector3d & out ) const {
	if ( index >= GetPointCount() ) {
		return false;
	}
	const u32 first = index * FLOATS_PER_POINT;
	out.Set( mvPoints[first], mvPoints[first + 1], mvPoints[first + 2] );
	return true;
}

bool DTWaypointGrp::SetPoint( const u32 index, const DTVector3d & point ) {
	if ( index >= GetPointCount() ) {
		return false;
	}
	const u32 first = index * FLOATS_PER_POINT;
	mvPoints[first] = point.x;
	mvPoints[first + 1] = point.y;
	mvPoints[first + 2] = point.z;
	return true;
}

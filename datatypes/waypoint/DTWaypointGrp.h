/*
===============================================================================

	Waypoint group: a numbered list of 3D points stored in level data.

	Stored record, in order: "UID" (the group's id), "NB_WAYPOINT" (u32, the
	number of waypoints) and "POINTS" (a float array, three floats x, y, z
	per waypoint, waypoint i at elements 3i to 3i + 2). The record holds
	nothing else, so the class derives from DTStreamable directly.

	Loading registers the group in DTWpGrpMgr::moWpGrpMgr under its UID
	whatever the load gave, so a group that fails part-way is registered
	under the UID read so far. The manager owns a registered group, so a
	container that created it for a load lets it go; destroying it does
	not unregister it. A group that takes the id of another keeps the one
	it replaced (mpoReplaced), for the manager to delete with it.

	Nothing in the stored data ties the array's length to the count, so the
	point accessors only reach points below both NB_WAYPOINT and the number
	of whole triples in the array.

===============================================================================
*/
#ifndef DT_WAYPOINT_GRP_H
#define DT_WAYPOINT_GRP_H

#include "datatypes/streamable/DTStreamable.h"
#include "datatypes/containers/DTVector.h"
#include "datatypes/maths/DTVector3d.h"

constexpr s32 DT_WAYPOINT_GRP_CLASS_ID = 48;

class DTWaypointGrp : public DTStreamable {
public:
							DTWaypointGrp();
	virtual					~DTWaypointGrp();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// The members, then the registration; the load's result.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// True once the group is registered: the manager owns it.
	bool					IsOwnedElsewhere() const override;

	// The stored waypoint count.
	u32						GetNbWaypoint() const { return muiNbWaypoint; }
	// Points the accessors reach: min (NB_WAYPOINT, floats / 3).
	u32						GetPointCount() const;
	// False, leaving out as it was, for an index not below GetPointCount.
	bool					GetPoint( const u32 index, DTVector3d & out ) const;
	// False, changing nothing, for an index not below GetPointCount.
	bool					SetPoint( const u32 index, const DTVector3d & point );

	u32						muiNbWaypoint;
	DTVector<f32>			mvPoints;
	// The group this one replaced under its id, then the one that one
	// replaced, and so on; deleted by the manager, not by the destructor.
	DTWaypointGrp *			mpoReplaced;

private:
	bool					mbRegistered;
};

#endif

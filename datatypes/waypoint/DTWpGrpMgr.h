/*
===============================================================================

	Registry of the loaded waypoint groups by id.

	One process-wide map of 37 buckets, moWpGrpMgr, built at static
	initialisation. It owns the groups it holds: RemoveAllWaypointGrp
	deletes them all (the world does so when a level ends) and keeps the
	buckets for the next level; the destructor does the same at exit and
	frees the buckets. A group registered under an id already held takes
	the entry, and the group it replaced hangs from it until the level
	ends: a level's record may still list the replaced group while the
	load goes on, so it is not deleted at once.

	Every group is held once: at the head of one id or in the chain of
	groups one id replaced. A group already held that is registered again,
	under its own id or another, moves: it leaves the chain it was in, or
	the id it headed (the group it replaced there takes that id back, and
	an id left with no group is removed), and heads the new id with the
	group it replaces hanging from it. Registering the head of an id again
	under that id changes nothing. So no chain closes on itself and
	RemoveAllWaypointGrp deletes each group exactly once.

===============================================================================
*/
#ifndef DT_WP_GRP_MGR_H
#define DT_WP_GRP_MGR_H

#include "datatypes/containers/DTMap.h"
#include "datatypes/base/DTTypes.h"

class DTWaypointGrp;

class DTWpGrpMgr : public DTMap<u32, DTWaypointGrp *> {
public:
							DTWpGrpMgr();
	virtual					~DTWpGrpMgr();

	// Registers group under id, moving it from wherever the manager held
	// it. A group the id already named is kept, hanging from the new one,
	// until RemoveAllWaypointGrp. False, changing nothing, for a null group
	// or when no entry could be allocated.
	bool					AddWaypointGrp( DTWaypointGrp * group, const u32 id );
	// The group registered under id, or null.
	DTWaypointGrp *			GetWaypointGrp( const u32 id ) const;
	// Deletes every group, those they replaced included, and frees every
	// entry; the buckets stay.
	void					RemoveAllWaypointGrp();

	static DTWpGrpMgr		moWpGrpMgr;

private:
	// Takes group out of the id it heads or the chain it hangs in, if the
	// manager holds it; its own chain link is cleared.
	void					Detach( DTWaypointGrp * group );
};

#endif

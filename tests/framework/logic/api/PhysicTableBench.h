/*
===============================================================================

	Fixture of the physics table's tests: the behaviour bench with the
	table filled, and bodies given a falling acceleration module through
	the table.

===============================================================================
*/
#ifndef PHYSIC_TABLE_BENCH_H
#define PHYSIC_TABLE_BENCH_H

#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/logic/api/LogicApiTables.h"

class PhysicTableBench : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		Init_Physic();
	}

	// An acceleration module of a on the object's body, running in its
	// context 1, added and set through the table; its handle.
	u32 GiveGravity( const u32 object, const DTVector3d& a = DTVector3d( 0, -9.8f, 0 ) ) {
		gpoWorldMgr->GetGameObject( object )->mpoPhysic->mui32CurrentContext = 1;
		const u32 handle = api.DMAdd( object, EF_DM_ACCELERATION );
		DMAccelerationParams params = { a, 100.0f, 0 };
		api.DMSetParams( handle, &params );
		api.DMSetContextMask( handle, 1 );
		return handle;
	}

	api_physic& api = APIphysic;
};

#endif

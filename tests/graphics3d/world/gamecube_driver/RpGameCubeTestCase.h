/*
	The library over the console driver with the world plug-ins attached
	(and whatever a test adds) and a resource arena for instances.
*/
#ifndef RP_GAMECUBE_TEST_CASE_H
#define RP_GAMECUBE_TEST_CASE_H

#include "graphics3d/world/RpWorldPlugin.h"

#include "../../gamecube/RwDlTestDriver.h"

class RpGameCubeTestCase : public RwDlTestCase {
protected:
	static constexpr u32 ARENA_BYTES = 1u << 20;

	virtual bool AttachPlugins() { return RpWorldPluginAttach(); }

	void SetUp() override {
		RwDlTestCase::SetUp();
		VIInit();
		ASSERT_TRUE( RwEngineInit( &rwDlTestMemory, 0, ARENA_BYTES ) );
		ASSERT_TRUE( AttachPlugins() );
		ASSERT_TRUE( Open() );
		ASSERT_TRUE( RwEngineStart() );
		RwDlTestReadError();
	}
};

#endif

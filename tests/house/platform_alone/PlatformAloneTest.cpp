// This program links the host layer and nothing of the engine: it builds
// only while no host-layer file calls into an engine body.
#include "platform/os/OS.h"

#include <gtest/gtest.h>

TEST( PlatformAloneTest, TheHostLayerLinksAndRunsWithoutTheEngine ) {
	OSInit();
	EXPECT_NE( OSGetArenaLo(), nullptr );
	EXPECT_LE( OSGetArenaLo(), OSGetArenaHi() );
}
